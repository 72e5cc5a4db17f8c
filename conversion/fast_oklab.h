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

// Four floats side by side, in GCC's and Clang's portable vector type (SSE2
// on any x86-64, NEON on ARM), for converting four colours at once.
using FloatLanes = float __attribute__((vector_size(16)));
using WordLanes = std::uint32_t __attribute__((vector_size(16)));

// fastCbrt() in each lane: the same operations in the same order, so each
// lane gives the same bits.
inline FloatLanes fastCbrtLanes(FloatLanes x)
{
    const WordLanes bits = std::bit_cast<WordLanes>(x);
    const WordLanes sign = bits & 0x80000000u;
    const FloatLanes magnitude = std::bit_cast<FloatLanes>(bits & 0x7fffffffu);
    FloatLanes y = std::bit_cast<FloatLanes>(std::bit_cast<WordLanes>(magnitude) / 3u + 709921077u);
    y = (2.0f * y + magnitude / (y * y)) * (1.0f / 3.0f);
    y = (2.0f * y + magnitude / (y * y)) * (1.0f / 3.0f);
    const WordLanes tiny = std::bit_cast<WordLanes>(magnitude < 1e-30f);
    return std::bit_cast<FloatLanes>((std::bit_cast<WordLanes>(y) | sign) & ~tiny);
}

// roughCbrt() in each lane, to the bit.
inline FloatLanes roughCbrtLanes(FloatLanes x)
{
    const WordLanes bits = std::bit_cast<WordLanes>(x);
    const WordLanes sign = bits & 0x80000000u;
    const FloatLanes magnitude = std::bit_cast<FloatLanes>(bits & 0x7fffffffu);
    const FloatLanes y = std::bit_cast<FloatLanes>(std::bit_cast<WordLanes>(magnitude) / 3u + 709921077u);
    const FloatLanes y3 = y * y * y;
    const FloatLanes root = y * (y3 + 2.0f * magnitude) / (2.0f * y3 + magnitude);
    const WordLanes tiny = std::bit_cast<WordLanes>(magnitude < 1e-30f);
    return std::bit_cast<FloatLanes>((std::bit_cast<WordLanes>(root) | sign) & ~tiny);
}

// OKLab of four colours, lane by lane.
struct OklabLanes {
    FloatLanes L, a, b;
};

// toOklabFast<cbrt>() of the colours (r[i], g[i], b[i]), to the bit, with
// `cbrt` fastCbrtLanes or roughCbrtLanes.
template <FloatLanes (*cbrt)(FloatLanes) = fastCbrtLanes>
inline OklabLanes toOklabLanes(FloatLanes r, FloatLanes g, FloatLanes b)
{
    const FloatLanes l = cbrt(0.4122214708f * r + 0.5363325363f * g + 0.0514459929f * b);
    const FloatLanes m = cbrt(0.2119034982f * r + 0.6806995451f * g + 0.1073969566f * b);
    const FloatLanes s = cbrt(0.0883024619f * r + 0.2817188376f * g + 0.6299787005f * b);
    return OklabLanes{0.2104542553f * l + 0.7936177850f * m - 0.0040720468f * s,
                      1.9779984951f * l - 2.4285922050f * m + 0.4505937099f * s,
                      0.0259040371f * l + 0.7827717662f * m - 0.8086757660f * s};
}
