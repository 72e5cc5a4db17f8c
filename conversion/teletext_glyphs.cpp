#include "conversion/teletext_glyphs.h"

#include <array>

namespace {

// Dot rows where sixel rows 0, 1 and 2 start, and where the cell ends.
constexpr std::array<int, 4> kDotRowStart{0, 3, 7, 10};

int sixelRowOfDotRow(int dotRow)
{
    return dotRow < kDotRowStart[1] ? 0 : dotRow < kDotRowStart[2] ? 1 : 2;
}

bool dotLit(Sixels sixels, bool separated, int dotColumn, int dotRow)
{
    const int sixelRow = sixelRowOfDotRow(dotRow);
    const int sixelColumn = dotColumn / 3;
    if ((sixels >> (2 * sixelRow + sixelColumn) & 1) == 0)
        return false;
    if (!separated)
        return true;
    return dotColumn % 3 != 0 && dotRow != kDotRowStart[static_cast<std::size_t>(sixelRow) + 1] - 1;
}

// Weights of every pixel of every cell look, built once: [style][sixels][line][x].
using WeightTable = std::array<std::array<std::array<std::array<std::uint8_t, kCellPixels>, kCellLines>, 64>, 2>;

WeightTable buildWeights()
{
    WeightTable table{};
    for (int style = 0; style < 2; ++style)
        for (int sixels = 0; sixels < 64; ++sixels)
            for (int line = 0; line < kCellLines; ++line)
                for (int x = 0; x < kCellPixels; ++x) {
                    int weight = 0;
                    // Pixel x covers quarter-dots 3x..3x+2; half-dot h covers quarters 4h..4h+3.
                    for (int quarter = 3 * x; quarter < 3 * x + 3; ++quarter)
                        weight += dotLit(static_cast<Sixels>(sixels), style == 1, quarter / 8, line / 2);
                    table[style][sixels][line][x] = static_cast<std::uint8_t>(weight);
                }
    return table;
}

}  // namespace

int glyphWeight(Sixels sixels, bool separated, int x, int line)
{
    static const WeightTable table = buildWeights();
    return table[separated ? 1 : 0][sixels & 63][static_cast<std::size_t>(line)][static_cast<std::size_t>(x)];
}
