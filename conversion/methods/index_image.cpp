#include "conversion/methods/index_image.h"

MethodPalette methodPalette(const std::array<std::uint8_t, 8>& physical, int count)
{
    assert(count >= 1 && count <= 8);
    MethodPalette palette;
    palette.count = count;
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        assert(physical[i] < 8);
        palette.physical[i] = physical[i];
        palette.linear[i] = physicalLinear(physical[i]);
        palette.lab[i] = toOklab(palette.linear[i]);
    }
    return palette;
}

MethodPalette nulaMethodPalette(const NulaTable& colours, int count)
{
    assert(count >= 1 && count <= kNulaEntries);
    MethodPalette palette;
    palette.count = count;
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        if (i < palette.physical.size())
            palette.physical[i] = nearestStandardColour(colours[i]);
        palette.linear[i] = nulaLinear(colours[i]);
        palette.lab[i] = toOklab(palette.linear[i]);
    }
    return palette;
}
