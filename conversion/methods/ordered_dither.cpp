#include "conversion/methods/ordered_dither.h"

#include <algorithm>
#include <cstddef>
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

struct Pair {
    int from;
    int to;
};

// Where `colour` falls on the line from one palette colour to another: the
// share of `to` (0..1) and the squared distance left over.
struct Mix {
    float share = 0;
    float miss = 0;
};

Mix mixOf(const MethodPalette& palette, const Pair& pair, const LinearRgb& colour)
{
    const LinearRgb& a = palette.linear[static_cast<std::size_t>(pair.from)];
    const LinearRgb step = minus(palette.linear[static_cast<std::size_t>(pair.to)], a);
    const float length2 = dot(step, step);
    const LinearRgb offset = minus(colour, a);
    const float share = length2 > 0 ? std::clamp(dot(offset, step) / length2, 0.0f, 1.0f) : 0.0f;
    const LinearRgb rest{offset.r - share * step.r, offset.g - share * step.g, offset.b - share * step.b};
    return Mix{share, dot(rest, rest)};
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

int mixedColour(const MethodPalette& palette, const std::vector<Pair>& pairs, const LinearRgb& colour, float threshold)
{
    Pair bestPair = pairs.front();
    Mix best = mixOf(palette, bestPair, colour);
    for (const Pair& pair : pairs) {
        const Mix mix = mixOf(palette, pair, colour);
        if (mix.miss < best.miss) {
            best = mix;
            bestPair = pair;
        }
    }
    return threshold < best.share ? bestPair.to : bestPair.from;
}

}  // namespace

IndexImage orderedDither(const LinearImage& source, const MethodPalette& palette, const ThresholdMap& map)
{
    std::vector<Pair> pairs;
    for (int a = 0; a < palette.count; ++a)
        for (int b = a + 1; b < palette.count; ++b)
            pairs.push_back(Pair{a, b});
    if (pairs.empty())
        pairs.push_back(Pair{0, 0});
    const bool cube = isWholeCube(palette);
    IndexImage result(source.width, source.height);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            const LinearRgb& colour = source.at(x, y);
            const float threshold = map.at(x, y);
            result.at(x, y) = static_cast<std::uint8_t>(cube ? cubeColour(palette, colour, threshold)
                                                             : mixedColour(palette, pairs, colour, threshold));
        }
    return result;
}
