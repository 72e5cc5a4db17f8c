#include "conversion/colour_space.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

std::array<float, 256> linearTable()
{
    std::array<float, 256> table{};
    for (int i = 0; i < 256; ++i) {
        const double s = i / 255.0;
        table[static_cast<std::size_t>(i)] =
            static_cast<float>(s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4));
    }
    return table;
}

const std::array<float, 256> kLinear = linearTable();

}  // namespace

float srgbToLinear(std::uint8_t component)
{
    return kLinear[component];
}

std::uint8_t linearToSrgb(float linear)
{
    const double l = std::clamp(static_cast<double>(linear), 0.0, 1.0);
    const double s = l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::lround(s * 255.0));
}

LinearRgb toLinear(Color colour)
{
    return LinearRgb{kLinear[colour.red], kLinear[colour.green], kLinear[colour.blue]};
}

Color toSrgb(LinearRgb colour)
{
    return Color{linearToSrgb(colour.r), linearToSrgb(colour.g), linearToSrgb(colour.b)};
}

Oklab toOklab(LinearRgb c)
{
    const float l = 0.4122214708f * c.r + 0.5363325363f * c.g + 0.0514459929f * c.b;
    const float m = 0.2119034982f * c.r + 0.6806995451f * c.g + 0.1073969566f * c.b;
    const float s = 0.0883024619f * c.r + 0.2817188376f * c.g + 0.6299787005f * c.b;
    const float l3 = std::cbrt(l), m3 = std::cbrt(m), s3 = std::cbrt(s);
    return Oklab{0.2104542553f * l3 + 0.7936177850f * m3 - 0.0040720468f * s3,
                 1.9779984951f * l3 - 2.4285922050f * m3 + 0.4505937099f * s3,
                 0.0259040371f * l3 + 0.7827717662f * m3 - 0.8086757660f * s3};
}
