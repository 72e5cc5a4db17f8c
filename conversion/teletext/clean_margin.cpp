#include "conversion/teletext/clean_margin.h"

#include "conversion/teletext/row_programme.h"

#include <vector>

namespace {

// Each sixel's share of its cell: rows of 3, 4 and 3 tenths, two columns.
constexpr std::array<float, 6> kSixelShare{0.15f, 0.15f, 0.2f, 0.2f, 0.15f, 0.15f};

bool isControlCode(std::uint8_t byte)
{
    return (byte & 0x60) == 0;  // &80..&9F (and &00..&1F)
}

int leadingCodes(const TeletextScreen& screen, int row)
{
    int count = 0;
    while (count < kEdgeCells && isControlCode(screen.at(count, row)))
        ++count;
    return count;
}

std::array<CellLook, kEdgeCells> edgeLooks(const TeletextScreen& screen, int row)
{
    std::array<CellLook, kEdgeCells> looks;
    ChipState chip;
    for (int i = 0; i < kEdgeCells; ++i)
        looks[static_cast<std::size_t>(i)] = showCell(chip, screen.at(i, row));
    return looks;
}

struct Lead {
    std::array<std::uint8_t, kEdgeCells> bytes{};
    float cost = 0;
};

// The cost of `count` leading bytes from the row's default state; the state
// after them in `chip`.
float leadCost(std::span<const CellCosts> cells, const Lead& lead, int count, ChipState& chip)
{
    float cost = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
        cost += lookCost(cells[i], showCell(chip, lead.bytes[i]));
    return cost;
}

// The cheapest leading codes of `count` cells that end in the same state as
// the row's own; the row's own unless another is strictly cheaper.
Lead cheapestLead(std::span<const CellCosts> cells, Lead own, int count)
{
    ChipState target;
    own.cost = leadCost(cells, own, count, target);
    const std::span<const std::uint8_t> codes = rowControlCodes();
    std::size_t sequences = 1;
    for (int i = 0; i < count; ++i)
        sequences *= codes.size();
    Lead best = own;
    for (std::size_t sequence = 0; sequence < sequences; ++sequence) {
        Lead lead;
        std::size_t rest = sequence;
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i, rest /= codes.size())
            lead.bytes[i] = codes[rest % codes.size()];
        ChipState chip;
        lead.cost = leadCost(cells, lead, count, chip);
        if (chip == target && lead.cost < best.cost)
            best = lead;
    }
    return best;
}

}  // namespace

EdgeColours bottomEdge(std::span<const CellLook> looks)
{
    EdgeColours edge{};
    for (std::size_t i = 0; i < static_cast<std::size_t>(kEdgeCells); ++i)
        for (std::size_t column = 0; column < 2; ++column) {
            const CellLook& look = looks[i];
            const bool lit = (look.sixels >> (4 + column) & 1) != 0 && !look.separated;
            edge[i][column] = lit ? look.foreground : look.background;
        }
    return edge;
}

void addEdgeCosts(std::span<CellCosts> cells, const EdgeColours& above, float edgeCost)
{
    for (std::size_t i = 0; i < static_cast<std::size_t>(kEdgeCells) && i < cells.size(); ++i)
        for (std::size_t s = 0; s < 6; ++s) {
            const std::uint8_t colour = above[i][s % 2];
            const float cost = edgeCost * kSixelShare[s];
            for (std::size_t c = 0; c < 8; ++c)
                if (c != colour)
                    cells[i].plain[s][c] += cost;
            for (std::size_t pair = 0; pair < 64; ++pair)
                if (pair % 8 != colour)
                    cells[i].dotted[s][pair] += cost;
        }
}

void cleanLeftMargin(TeletextScreen& screen, const LinearImage& picture, float edgeCost)
{
    const LinearImage samples = sixelSamples(picture);
    EdgeColours above = kBlackEdge;
    for (int row = 0; row < kTeletextRows; ++row) {
        std::vector<CellCosts> cells = rowCosts(samples, row);
        addEdgeCosts(cells, above, edgeCost);
        const int count = leadingCodes(screen, row);
        Lead own;
        for (int i = 0; i < count; ++i)
            own.bytes[static_cast<std::size_t>(i)] = screen.at(i, row);
        const Lead best = cheapestLead(cells, own, count);
        for (int i = 0; i < count; ++i)
            screen.at(i, row) = best.bytes[static_cast<std::size_t>(i)];
        above = bottomEdge(edgeLooks(screen, row));
    }
}
