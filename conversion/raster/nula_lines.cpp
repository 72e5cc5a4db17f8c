#include "conversion/raster/nula_lines.h"

#include "conversion/fast_oklab.h"
#include "conversion/nula/nula_palette.h"
#include "conversion/raster_budget.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

// Lines each side of a line whose pixels its colours are chosen for.
constexpr int kReach = 2;
constexpr int kRounds = 4;

// The OKLab colours of lines y - kReach .. y + kReach.
std::vector<Oklab> samplesAround(const std::vector<Oklab>& lab, int width, int height, int y)
{
    const int from = std::max(0, y - kReach), to = std::min(height - 1, y + kReach);
    return std::vector<Oklab>(lab.begin() + static_cast<std::ptrdiff_t>(from) * width,
                              lab.begin() + static_cast<std::ptrdiff_t>(to + 1) * width);
}

// Lloyd's rounds from `centres`.
void moveCentres(const std::vector<Oklab>& samples, std::vector<Oklab>& centres, int rounds)
{
    for (int round = 0; round < rounds; ++round)
        ::moveCentres(samples, centres);
}

std::vector<Oklab> labOf(const NulaTable& table, int count)
{
    std::vector<Oklab> lab;
    for (int i = 0; i < count; ++i)
        lab.push_back(toOklab(nulaLinear(table[static_cast<std::size_t>(i)])));
    return lab;
}

// Dithering mixes colours between the palette's, so centres pulled in
// towards the middle of the colours they stand for would never reach the
// extremes: they are spread out from their mean by kSpread.
constexpr float kSpread = 1.25f;

NulaTable tableOf(const std::vector<Oklab>& centres)
{
    Oklab mean{};
    for (const Oklab& c : centres)
        mean = Oklab{mean.L + c.L / centres.size(), mean.a + c.a / centres.size(), mean.b + c.b / centres.size()};
    NulaTable table{};
    for (std::size_t i = 0; i < centres.size(); ++i) {
        const Oklab& c = centres[i];
        table[i] = snappedNulaColour(Oklab{mean.L + kSpread * (c.L - mean.L), mean.a + kSpread * (c.a - mean.a),
                                           mean.b + kSpread * (c.b - mean.b)});
    }
    sortNulaByLightness(table, static_cast<int>(centres.size()));
    return table;
}

// Every colour of a line free to change: smooth k-means line by line.
std::vector<NulaTable> everyColourByLine(const std::vector<Oklab>& lab, const LinearImage& grid, const ScreenMode& mode)
{
    const int count = nulaColourCount(mode);
    std::vector<Oklab> centres = labOf(startingNulaColours(grid, mode), count);
    std::vector<NulaTable> lines;
    for (int y = 0; y < grid.height; ++y) {
        moveCentres(samplesAround(lab, grid.width, grid.height, y), centres, kRounds);
        lines.push_back(tableOf(centres));
    }
    return lines;
}

// Summed distance of the samples to their nearest colour, with colour
// `slot` replaced by `instead`.
double summedDistance(const std::vector<Oklab>& samples, const std::vector<float>& nearest,
                      const std::vector<float>& second, const std::vector<std::uint8_t>& nearestSlot, int slot,
                      const Oklab& instead)
{
    double total = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const float without = nearestSlot[i] == slot ? second[i] : nearest[i];
        total += std::sqrt(std::min(without, oklabDistance2(instead, samples[i])));
    }
    return total;
}

// A line's colours from those above: up to `budget` slots replaced, each by
// a k-means centre of the lines around, while that gains enough.
NulaTable replacedColours(const std::vector<Oklab>& samples, NulaTable colours, int count, int budget,
                          std::vector<Oklab>& candidates)
{
    moveCentres(samples, candidates, 2);
    std::vector<bool> changed(static_cast<std::size_t>(count), false);
    for (int round = 0; round < budget; ++round) {
        const std::vector<Oklab> palette = labOf(colours, count);
        std::vector<float> nearest(samples.size()), second(samples.size());
        std::vector<std::uint8_t> slotOf(samples.size());
        double now = 0;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            float a = std::numeric_limits<float>::max(), b = a;
            int at = 0;
            for (int c = 0; c < count; ++c) {
                const float d = oklabDistance2(palette[static_cast<std::size_t>(c)], samples[i]);
                if (d < a) {
                    b = a;
                    a = d;
                    at = c;
                } else if (d < b) {
                    b = d;
                }
            }
            nearest[i] = a;
            second[i] = b;
            slotOf[i] = static_cast<std::uint8_t>(at);
            now += std::sqrt(a);
        }
        double best = now * 0.97;  // a change must gain 3% of the lines' distance
        int bestSlot = -1;
        NulaColour bestColour{};
        for (const Oklab& candidate : candidates) {
            const NulaColour snapped = snappedNulaColour(candidate);
            const Oklab snappedLab = toOklab(nulaLinear(snapped));
            for (int slot = 0; slot < count; ++slot) {
                if (changed[static_cast<std::size_t>(slot)])
                    continue;
                if (const double d = summedDistance(samples, nearest, second, slotOf, slot, snappedLab); d < best) {
                    best = d;
                    bestSlot = slot;
                    bestColour = snapped;
                }
            }
        }
        if (bestSlot < 0)
            break;
        colours[static_cast<std::size_t>(bestSlot)] = bestColour;
        changed[static_cast<std::size_t>(bestSlot)] = true;
    }
    return colours;
}

// Some colours of a line free to change: the picture's colours, then
// replacements line by line.
std::vector<NulaTable> someColoursByLine(const std::vector<Oklab>& lab, const LinearImage& grid,
                                         const ScreenMode& mode, Method method, float damping)
{
    const int count = nulaColourCount(mode);
    const int budget = rasterBudget(mode).nulaColours;
    NulaTable colours = chooseNulaColours(grid, mode, method, damping);
    std::vector<Oklab> candidates = labOf(startingNulaColours(grid, mode), budget);
    std::vector<NulaTable> lines;
    for (int y = 0; y < grid.height; ++y) {
        colours = replacedColours(samplesAround(lab, grid.width, grid.height, y), colours, count, budget, candidates);
        lines.push_back(colours);
    }
    return lines;
}

}  // namespace

std::vector<NulaTable> nulaLineColours(const LinearImage& grid, const ScreenMode& mode, Method method, float damping)
{
    assert(grid.width > 0 && grid.height > 0);
    std::vector<Oklab> lab;
    lab.reserve(grid.pixels.size());
    for (const LinearRgb& pixel : grid.pixels)
        lab.push_back(toOklabFast<>(pixel));
    if (rasterBudget(mode).nulaColours >= nulaColourCount(mode))
        return everyColourByLine(lab, grid, mode);
    return someColoursByLine(lab, grid, mode, method, damping);
}
