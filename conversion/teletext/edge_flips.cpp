#include "conversion/teletext/edge_flips.h"

#include "conversion/teletext_glyphs.h"

#include <array>
#include <cassert>

namespace {

// How many pixels of a cell the foreground covers wholly, partly and not at
// all, for each style and mosaic: [separated][sixels].
struct Coverage {
    int whole = 0, part = 0, none = 0;
};
using CoverageTable = std::array<std::array<Coverage, 64>, 2>;

CoverageTable buildCoverage()
{
    CoverageTable table{};
    for (int style = 0; style < 2; ++style)
        for (int sixels = 0; sixels < 64; ++sixels)
            for (int line = 0; line < kCellLines; ++line)
                for (int x = 0; x < kCellPixels; ++x) {
                    Coverage& c = table[static_cast<std::size_t>(style)][static_cast<std::size_t>(sixels)];
                    const int weight = glyphWeight(static_cast<Sixels>(sixels), style == 1, x, line);
                    ++(weight == 3 ? c.whole : weight == 0 ? c.none : c.part);
                }
    return table;
}

// The pixels of a cell showing `look` that are not black (colour 0 is the
// only black one).
int litPixels(const CellLook& look)
{
    static const CoverageTable table = buildCoverage();
    const Coverage& c = table[look.separated ? 1 : 0][look.sixels & 63];
    const bool fg = look.foreground != 0, bg = look.background != 0;
    return (fg ? c.whole : 0) + (bg ? c.none : 0) + (fg || bg ? c.part : 0);
}

}  // namespace

bool litEdge(std::span<const CellLook> edgeLooks)
{
    assert(edgeLooks.size() >= static_cast<std::size_t>(kEdgeFlipCells));
    int lit = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(kEdgeFlipCells); ++i)
        lit += litPixels(edgeLooks[i]);
    return 2 * lit >= kEdgeFlipCells * kCellPixels * kCellLines;
}

int leftEdgeFlips(const TeletextScreen& screen)
{
    int flips = 0;
    bool above = false;
    for (int row = 0; row < kTeletextRows; ++row) {
        std::array<CellLook, kEdgeFlipCells> looks;
        ChipState chip;
        for (int i = 0; i < kEdgeFlipCells; ++i)
            looks[static_cast<std::size_t>(i)] = showCell(chip, screen.at(i, row));
        const bool lit = litEdge(looks);
        flips += row > 0 && lit != above;
        above = lit;
    }
    return flips;
}
