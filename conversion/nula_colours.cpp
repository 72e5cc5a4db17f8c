#include "conversion/nula_colours.h"

#include "conversion/colour_space.h"

LinearRgb nulaLinear(NulaColour colour)
{
    return LinearRgb{srgbToLinear(nulaComponent(colour.red)), srgbToLinear(nulaComponent(colour.green)),
                     srgbToLinear(nulaComponent(colour.blue))};
}

std::uint8_t nearestStandardColour(NulaColour colour)
{
    const Oklab wanted = toOklab(nulaLinear(colour));
    std::uint8_t nearest = 0;
    float nearestDistance = oklabDistance2(toOklab(physicalLinear(0)), wanted);
    for (int physical = 1; physical < 8; ++physical)
        if (const float d = oklabDistance2(toOklab(physicalLinear(physical)), wanted); d < nearestDistance) {
            nearestDistance = d;
            nearest = static_cast<std::uint8_t>(physical);
        }
    return nearest;
}
