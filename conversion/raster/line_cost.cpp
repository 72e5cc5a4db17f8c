#include "conversion/raster/line_cost.h"

#include "conversion/fast_oklab.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace {

// A binomial blur of seven pixels: a line dithered alone shows its pattern
// far more than a picture does, whose lines below average it too.
constexpr std::array<float, 7> kBlur{1 / 64.f, 6 / 64.f, 15 / 64.f, 20 / 64.f, 15 / 64.f, 6 / 64.f, 1 / 64.f};

LinearRgb blurredAt(const LinearRgb* line, int width, int x)
{
    LinearRgb sum{};
    for (int k = 0; k < 7; ++k) {
        const LinearRgb& p = line[std::clamp(x + k - 3, 0, width - 1)];
        const float w = kBlur[static_cast<std::size_t>(k)];
        sum = LinearRgb{sum.r + w * p.r, sum.g + w * p.g, sum.b + w * p.b};
    }
    return sum;
}

}  // namespace

LineCost::LineCost(const LinearImage& grid) : grid_(grid), blurredSource_(grid.pixels.size())
{
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x)
            blurredSource_[static_cast<std::size_t>(y * grid.width + x)] =
                toOklabFast<roughCbrt>(blurredAt(&grid.at(0, y), grid.width, x));
}

double LineCost::cost(int y, const MethodPalette& palette) const
{
    const int width = grid_.width;
    std::vector<LinearRgb> shown(static_cast<std::size_t>(width));
    LinearRgb carried{};
    for (int x = 0; x < width; ++x) {
        const LinearRgb& source = grid_.at(x, y);
        const LinearRgb wanted{std::clamp(source.r + carried.r, -0.5f, 1.5f), std::clamp(source.g + carried.g, -0.5f, 1.5f),
                               std::clamp(source.b + carried.b, -0.5f, 1.5f)};
        const LinearRgb& chosen = palette.linear[static_cast<std::size_t>(nearestColour(palette, toOklabFast<roughCbrt>(wanted)))];
        shown[static_cast<std::size_t>(x)] = chosen;
        carried = LinearRgb{wanted.r - chosen.r, wanted.g - chosen.g, wanted.b - chosen.b};
    }
    double total = 0;
    const Oklab* const want = &blurredSource_[static_cast<std::size_t>(y * width)];
    for (int x = 0; x < width; ++x)
        total += std::sqrt(oklabDistance2(toOklabFast<roughCbrt>(blurredAt(shown.data(), width, x)), want[x]));
    return total;
}

std::vector<std::vector<double>> withNeighbours(const std::vector<std::vector<double>>& costs)
{
    constexpr std::array<double, 5> kWeights{0.25, 0.5, 1.0, 0.5, 0.25};
    const int lines = static_cast<int>(costs.size());
    std::vector<std::vector<double>> smoothed(costs.size(), std::vector<double>(costs.front().size(), 0.0));
    for (int y = 0; y < lines; ++y)
        for (int d = -2; d <= 2; ++d) {
            const int from = std::clamp(y + d, 0, lines - 1);
            const double w = kWeights[static_cast<std::size_t>(d + 2)];
            for (std::size_t s = 0; s < costs[0].size(); ++s)
                smoothed[static_cast<std::size_t>(y)][s] += w * costs[static_cast<std::size_t>(from)][s];
        }
    return smoothed;
}
