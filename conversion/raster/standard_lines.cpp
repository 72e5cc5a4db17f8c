#include "conversion/raster/standard_lines.h"

#include "conversion/methods/palette_search.h"
#include "conversion/raster/line_cost.h"
#include "conversion/raster_budget.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstddef>
#include <limits>

namespace {

unsigned maskOf(const MethodPalette& palette)
{
    unsigned mask = 0;
    for (int i = 0; i < palette.count; ++i)
        mask |= 1u << palette.physical[static_cast<std::size_t>(i)];
    return mask;
}

// Each set's neighbours: the sets it can become before one line, itself
// included (all but `changes` colours shared).
std::vector<std::vector<int>> reachable(const std::vector<unsigned>& masks, int changes)
{
    std::vector<std::vector<int>> from(masks.size());
    for (std::size_t a = 0; a < masks.size(); ++a)
        for (std::size_t b = 0; b < masks.size(); ++b)
            if (std::popcount(masks[a] & ~masks[b]) <= changes)
                from[a].push_back(static_cast<int>(b));
    return from;
}

// The cheapest chain of sets, one a line, each reachable from the one
// above; a change costs `changeCost`, so that sets change only for a gain.
std::vector<int> cheapestChain(const std::vector<std::vector<double>>& cost, const std::vector<std::vector<int>>& from,
                               double changeCost)
{
    const std::size_t sets = from.size(), lines = cost.size();
    std::vector<double> best(cost[0]);
    std::vector<std::vector<int>> back(lines, std::vector<int>(sets, -1));
    for (std::size_t y = 1; y < lines; ++y) {
        std::vector<double> next(sets, std::numeric_limits<double>::infinity());
        for (std::size_t s = 0; s < sets; ++s)
            for (const int before : from[s]) {
                const double total = best[static_cast<std::size_t>(before)] +
                                     (static_cast<std::size_t>(before) == s ? 0.0 : changeCost);
                if (total < next[s]) {
                    next[s] = total;
                    back[y][s] = before;
                }
            }
        for (std::size_t s = 0; s < sets; ++s)
            next[s] += cost[y][s];
        best.swap(next);
    }
    std::vector<int> chain(lines);
    chain[lines - 1] = static_cast<int>(std::min_element(best.begin(), best.end()) - best.begin());
    for (std::size_t y = lines - 1; y > 0; --y)
        chain[y - 1] = back[y][static_cast<std::size_t>(chain[y])];
    return chain;
}

// The chain of sets as logical colours: the first line's in ascending order
// (black, when chosen, logical colour 0), then each change replacing the
// physical colour that left the set in the logical colour that showed it,
// in ascending order of both.
std::vector<std::array<std::uint8_t, 8>> logicalColours(const std::vector<int>& chain,
                                                        const std::vector<MethodPalette>& sets)
{
    std::vector<std::array<std::uint8_t, 8>> lines(chain.size());
    const MethodPalette& first = sets[static_cast<std::size_t>(chain[0])];
    std::array<std::uint8_t, 8> physical = first.physical;
    for (std::size_t y = 0; y < chain.size(); ++y) {
        const unsigned want = maskOf(sets[static_cast<std::size_t>(chain[y])]);
        unsigned have = 0;
        for (int i = 0; i < first.count; ++i)
            have |= 1u << physical[static_cast<std::size_t>(i)];
        unsigned gone = have & ~want, added = want & ~have;
        for (; gone != 0; gone &= gone - 1, added &= added - 1) {
            const auto left = static_cast<std::uint8_t>(std::countr_zero(gone));
            *std::find(physical.begin(), physical.begin() + first.count, left) =
                static_cast<std::uint8_t>(std::countr_zero(added));
        }
        lines[y] = physical;
    }
    return lines;
}

}  // namespace

std::vector<std::array<std::uint8_t, 8>> standardLinePalettes(const LinearImage& grid, const ScreenMode& mode,
                                                              std::optional<std::uint8_t> holding)
{
    assert(grid.height > 0 && mode.numcols < 8);
    std::vector<MethodPalette> sets = candidatePalettes(mode);
    if (holding)
        std::erase_if(sets, [&](const MethodPalette& p) { return (maskOf(p) >> *holding & 1u) == 0; });
    std::vector<unsigned> masks;
    for (const MethodPalette& set : sets)
        masks.push_back(maskOf(set));

    const LineCost lineCost(grid);
    std::vector<std::vector<double>> costs(static_cast<std::size_t>(grid.height), std::vector<double>(sets.size()));
    for (int y = 0; y < grid.height; ++y)
        for (std::size_t s = 0; s < sets.size(); ++s)
            costs[static_cast<std::size_t>(y)][s] = lineCost.cost(y, sets[s]);
    // A change is worth making for a gain of a hundredth of a colour step
    // over the line: enough to keep sets from flickering between equals.
    const double changeCost = 0.002 * grid.width;
    return logicalColours(cheapestChain(withNeighbours(costs), reachable(masks, rasterBudget(mode).standardColours), changeCost), sets);
}
