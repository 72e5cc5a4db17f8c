#pragma once

#include "conversion/colour_space.h"

#include <bit>
#include <cstdint>

// The cube root to about six significant figures, several times quicker than
// std::cbrt: a first guess from the float's exponent bits, then two Newton
// steps. For the per-pixel colour matching of the dithering methods.
inline float fastCbrt(float x)
{
    const float magnitude = x < 0 ? -x : x;
    if (magnitude < 1e-30f)
        return 0.0f;
    float y = std::bit_cast<float>(std::bit_cast<std::uint32_t>(magnitude) / 3 + 709921077u);
    y = (2.0f * y + magnitude / (y * y)) * (1.0f / 3.0f);
    y = (2.0f * y + magnitude / (y * y)) * (1.0f / 3.0f);
    return x < 0 ? -y : y;
}

// The cube root to about four significant figures with one division: the
// same first guess, then one Halley step. Enough to choose a nearest colour.
inline float roughCbrt(float x)
{
    const float magnitude = x < 0 ? -x : x;
    if (magnitude < 1e-30f)
        return 0.0f;
    const float y = std::bit_cast<float>(std::bit_cast<std::uint32_t>(magnitude) / 3 + 709921077u);
    const float y3 = y * y * y;
    const float root = y * (y3 + 2.0f * magnitude) / (2.0f * y3 + magnitude);
    return x < 0 ? -root : root;
}

// toOklab() with the cube root `cbrt` (fastCbrt by default).
template <float (*cbrt)(float) = fastCbrt>
inline Oklab toOklabFast(const LinearRgb& c)
{
    const float l = cbrt(0.4122214708f * c.r + 0.5363325363f * c.g + 0.0514459929f * c.b);
    const float m = cbrt(0.2119034982f * c.r + 0.6806995451f * c.g + 0.1073969566f * c.b);
    const float s = cbrt(0.0883024619f * c.r + 0.2817188376f * c.g + 0.6299787005f * c.b);
    return Oklab{0.2104542553f * l + 0.7936177850f * m - 0.0040720468f * s,
                 1.9779984951f * l - 2.4285922050f * m + 0.4505937099f * s,
                 0.0259040371f * l + 0.7827717662f * m - 0.8086757660f * s};
}
