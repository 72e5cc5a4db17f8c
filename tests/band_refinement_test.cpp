// Sets of colours refined band by band: in every mode with standard colours
// by line, the refined chain keeps to the raster budget from each line to
// the next, changes a band only to one set, and brings a chain that missed
// the picture's bands of hue closer to the picture under the real dithering.
#include "conversion/methods/error_diffusion.h"
#include "conversion/methods/palette_search.h"
#include "conversion/raster/band_refinement.h"
#include "conversion/raster/line_cost.h"
#include "conversion/raster_budget.h"
#include "conversion/screen.h"
#include "conversion/screen_modes.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>

namespace {

// Four bands of strongly different hue down the screen, each a ramp across.
LinearImage huesByBand(int width)
{
    const LinearRgb hues[] = {{0.9f, 0.1f, 0.1f}, {0.1f, 0.8f, 0.2f}, {0.1f, 0.2f, 0.9f}, {0.9f, 0.8f, 0.1f}};
    LinearImage image(width, kScreenLines);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < width; ++x) {
            const LinearRgb& hue = hues[y / 64];
            const float shade = 0.1f + 0.9f * static_cast<float>(x) / static_cast<float>(width - 1);
            image.at(x, y) = LinearRgb{hue.r * shade, hue.g * shade, hue.b * shade};
        }
    return image;
}

double wholeScore(const LinearImage& grid, const std::vector<MethodPalette>& sets, const std::vector<int>& chain)
{
    std::vector<MethodPalette> lines;
    for (const int set : chain)
        lines.push_back(sets[static_cast<std::size_t>(set)]);
    const RowPalettes rows(lines);
    const ScoreReference reference(areaAverage(grid, kDisplayWidth, kDisplayLines));
    return reference.distance(expandToDisplay(diffuseError(grid, rows, DiffusionKernel::FloydSteinberg), rows,
                                              kDisplayWidth / grid.width, kDisplayLines / grid.height));
}

}  // namespace

TEST(BandRefinement, KeepsTheBudgetAndBringsAChainThatMissedTheBandsCloser)
{
    for (const int modeNumber : {0, 1, 4, 5}) {
        SCOPED_TRACE("mode " + std::to_string(modeNumber));
        const ScreenMode& mode = *findScreenMode(modeNumber);
        // Narrower than the mode's grid, each pixel wider, to keep the test quick.
        const LinearImage grid = huesByBand(80);
        const std::vector<MethodPalette> sets = candidatePalettes(mode);
        std::vector<unsigned> masks;
        for (const MethodPalette& set : sets) {
            unsigned mask = 0;
            for (int i = 0; i < set.count; ++i)
                mask |= 1u << set.physical[static_cast<std::size_t>(i)];
            masks.push_back(mask);
        }
        const LineCost lineCost(grid);
        std::vector<std::vector<double>> costs(kScreenLines);
        for (int y = 0; y < kScreenLines; ++y)
            for (const MethodPalette& set : sets)
                costs[static_cast<std::size_t>(y)].push_back(lineCost.cost(y, set));
        // The set of black and the lowest colours on every line: wrong for
        // every band, so a band that changes set should gain.
        const std::vector<int> start(kScreenLines, 0);
        const int changes = rasterBudget(mode).standardColours;

        const std::vector<int> refined = refinedByBands(grid, sets, masks, costs, start, changes, {});

        ASSERT_EQ(refined.size(), start.size());
        for (int y = 1; y < kScreenLines; ++y)
            EXPECT_LE(std::popcount(masks[static_cast<std::size_t>(refined[static_cast<std::size_t>(y)])] &
                                    ~masks[static_cast<std::size_t>(refined[static_cast<std::size_t>(y - 1)])]),
                      changes)
                << "line " << y;
        for (int top = 0; top < kScreenLines; top += 16)
            for (int y = top; y < top + 16; ++y)
                EXPECT_EQ(refined[static_cast<std::size_t>(y)], refined[static_cast<std::size_t>(top)]);
        EXPECT_LT(wholeScore(grid, sets, refined), 0.95 * wholeScore(grid, sets, start));
    }
}
