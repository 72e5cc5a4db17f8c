#include "conversion/methods/ordered_dither.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

float dot(const LinearRgb& a, const LinearRgb& b)
{
    return a.r * b.r + a.g * b.g + a.b * b.b;
}

LinearRgb minus(const LinearRgb& a, const LinearRgb& b)
{
    return LinearRgb{a.r - b.r, a.g - b.g, a.b - b.b};
}

// With two colours: where `colour` falls on the line from the first to the
// second decides the share of the second, which the threshold turns into a
// choice.
int pairColour(const MethodPalette& palette, const LinearRgb& colour, float threshold)
{
    const LinearRgb& a = palette.linear[0];
    const LinearRgb step = minus(palette.linear[1], a);
    const float length2 = dot(step, step);
    const float share = length2 > 0 ? std::clamp(dot(minus(colour, a), step) / length2, 0.0f, 1.0f) : 0.0f;
    return threshold < share ? 1 : 0;
}

bool isWholeCube(const MethodPalette& palette)
{
    if (palette.count != 8)
        return false;
    unsigned seen = 0;
    for (int i = 0; i < 8; ++i)
        seen |= 1u << palette.physical[static_cast<std::size_t>(i)];
    return seen == 0xFFu;
}

int cubeColour(const MethodPalette& palette, const LinearRgb& colour, float threshold)
{
    const int physical = (colour.r > threshold ? 1 : 0) + (colour.g > threshold ? 2 : 0) + (colour.b > threshold ? 4 : 0);
    int logical = 0;
    while (palette.physical[static_cast<std::size_t>(logical)] != physical)
        ++logical;
    return logical;
}

// Knoll's pattern dithering: a plan of kPlan palette colours whose mean in
// linear light is the pixel's colour, built by carrying each choice's error
// into the next, sorted by lightness; the threshold picks one entry.
constexpr int kPlan = 16;

using ColourOrder = std::array<std::uint8_t, kMaxMethodColours>;

// The palette's colours from darkest to lightest.
ColourOrder byLightness(const MethodPalette& palette)
{
    ColourOrder order{};
    for (int i = 0; i < palette.count; ++i)
        order[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    std::stable_sort(order.begin(), order.begin() + palette.count,
                     [&palette](std::uint8_t a, std::uint8_t b) { return palette.lab[a].L < palette.lab[b].L; });
    return order;
}

int nearestLinear(const MethodPalette& palette, const LinearRgb& colour)
{
    int nearest = 0;
    float nearestDistance = 1e30f;
    for (int c = 0; c < palette.count; ++c) {
        const LinearRgb miss = minus(colour, palette.linear[static_cast<std::size_t>(c)]);
        if (const float d = dot(miss, miss); d < nearestDistance) {
            nearestDistance = d;
            nearest = c;
        }
    }
    return nearest;
}

// How often each colour comes in the plan for `colour`.
ColourOrder planUses(const MethodPalette& palette, const LinearRgb& colour)
{
    ColourOrder uses{};
    LinearRgb carried{};
    for (int i = 0; i < kPlan; ++i) {
        const int nearest = nearestLinear(palette, LinearRgb{colour.r + carried.r, colour.g + carried.g, colour.b + carried.b});
        ++uses[static_cast<std::size_t>(nearest)];
        const LinearRgb miss = minus(colour, palette.linear[static_cast<std::size_t>(nearest)]);
        carried = LinearRgb{carried.r + miss.r, carried.g + miss.g, carried.b + miss.b};
    }
    return uses;
}

// Plans made once per colour on a grid of kLevels steps a component (much
// finer than the plan's own 16ths), when a pixel first needs them: a
// picture's colours repeat, so most pixels find their plan made. Each plan
// is its kPlan entries laid out darkest first, four bits each (up to 16
// colours), with a flag beside it that says it is made.
class PlanCache {
public:
    static constexpr int kLevels = 64;

    explicit PlanCache(const MethodPalette& palette)
        : palette_(palette), order_(byLightness(palette)), plans_(kLevels * kLevels * kLevels, 0),
          made_(plans_.size(), 0)
    {
    }

    // The plan's entry at the threshold.
    int colourAt(const LinearRgb& colour, float threshold)
    {
        const int position = std::min(kPlan - 1, static_cast<int>(threshold * kPlan));
        return static_cast<int>((planFor(colour) >> (4 * position)) & 15u);
    }

private:
    static int level(float v) { return static_cast<int>(std::clamp(v, 0.0f, 1.0f) * (kLevels - 1) + 0.5f); }

    std::uint64_t planFor(const LinearRgb& colour)
    {
        const int r = level(colour.r), g = level(colour.g), b = level(colour.b);
        const auto at = static_cast<std::size_t>((r * kLevels + g) * kLevels + b);
        if (made_[at] == 0) {
            constexpr float step = 1.0f / (kLevels - 1);
            const ColourOrder uses = planUses(palette_, LinearRgb{r * step, g * step, b * step});
            std::uint64_t plan = 0;
            int position = 0;
            for (int i = 0; i < palette_.count; ++i) {
                const std::uint8_t colourIndex = order_[static_cast<std::size_t>(i)];
                for (int n = 0; n < uses[colourIndex]; ++n, ++position)
                    plan |= static_cast<std::uint64_t>(colourIndex) << (4 * position);
            }
            plans_[at] = plan;
            made_[at] = 1;
        }
        return plans_[at];
    }

    const MethodPalette& palette_;
    ColourOrder order_;
    std::vector<std::uint64_t> plans_;
    std::vector<std::uint8_t> made_;
};

}  // namespace

namespace {

// A plan made for the pixel's own colour, without the cache: where the
// palette changes every row, a row's colours would seldom meet their plans
// again.
int plannedColour(const MethodPalette& palette, const ColourOrder& order, const LinearRgb& colour, float threshold)
{
    const int position = std::min(kPlan - 1, static_cast<int>(threshold * kPlan));
    const ColourOrder uses = planUses(palette, colour);
    int passed = 0;
    for (int i = 0; i < palette.count; ++i) {
        const std::uint8_t colourIndex = order[static_cast<std::size_t>(i)];
        passed += uses[colourIndex];
        if (position < passed)
            return colourIndex;
    }
    return order[static_cast<std::size_t>(palette.count - 1)];
}

void ditherRowByPlans(const LinearImage& source, const MethodPalette& palette, const ThresholdMap& map, int y,
                      IndexImage& result)
{
    const ColourOrder order = byLightness(palette);
    for (int x = 0; x < source.width; ++x)
        result.at(x, y) = static_cast<std::uint8_t>(plannedColour(palette, order, source.at(x, y), map.at(x, y)));
}

IndexImage ditherOnePalette(const LinearImage& source, const MethodPalette& palette, const ThresholdMap& map)
{
    const bool cube = isWholeCube(palette);
    std::optional<PlanCache> plans;
    if (!cube && palette.count > 2)
        plans.emplace(palette);
    IndexImage result(source.width, source.height);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            const LinearRgb& colour = source.at(x, y);
            const float threshold = map.at(x, y);
            const int chosen = cube                 ? cubeColour(palette, colour, threshold)
                               : palette.count == 2 ? pairColour(palette, colour, threshold)
                                                    : plans->colourAt(colour, threshold);
            result.at(x, y) = static_cast<std::uint8_t>(chosen);
        }
    return result;
}

}  // namespace

IndexImage orderedDither(const LinearImage& source, const RowPalettes& palettes, const ThresholdMap& map)
{
    if (palettes.single())
        return ditherOnePalette(source, palettes.first(), map);
    IndexImage result(source.width, source.height);
    for (int y = 0; y < source.height; ++y) {
        const MethodPalette& palette = palettes.row(y);
        if (isWholeCube(palette) || palette.count == 2) {
            for (int x = 0; x < source.width; ++x) {
                const LinearRgb& colour = source.at(x, y);
                const float threshold = map.at(x, y);
                const int chosen = palette.count == 2 ? pairColour(palette, colour, threshold)
                                                      : cubeColour(palette, colour, threshold);
                result.at(x, y) = static_cast<std::uint8_t>(chosen);
            }
        } else {
            ditherRowByPlans(source, palette, map, y, result);
        }
    }
    return result;
}
