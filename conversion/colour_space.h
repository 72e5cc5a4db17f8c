#pragma once

#include "conversion/linear_image.h"
#include "platform/color.h"

#include <cstdint>

// sRGB component 0..255 to linear light 0..1 (the sRGB transfer curve).
float srgbToLinear(std::uint8_t component);

// Linear light to the nearest sRGB component, clamped to 0..255.
std::uint8_t linearToSrgb(float linear);

LinearRgb toLinear(Color colour);
Color toSrgb(LinearRgb colour);

// Björn Ottosson's OKLab: a perceptual space where Euclidean distance
// follows how different two colours look. L runs 0..1 from black to white.
struct Oklab {
    float L = 0;
    float a = 0;
    float b = 0;
};

Oklab toOklab(LinearRgb colour);

// Squared Euclidean distance in OKLab.
inline float oklabDistance2(const Oklab& x, const Oklab& y)
{
    const float dL = x.L - y.L, da = x.a - y.a, db = x.b - y.b;
    return dL * dL + da * da + db * db;
}

// The linear-light colour of a BBC Micro physical colour 0..7 (red + 2 green
// + 4 blue): each component fully on or off.
constexpr LinearRgb physicalLinear(int physical)
{
    return LinearRgb{(physical & 1) ? 1.0f : 0.0f, (physical & 2) ? 1.0f : 0.0f,
                     (physical & 4) ? 1.0f : 0.0f};
}
