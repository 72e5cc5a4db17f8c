#pragma once

#include "conversion/linear_image.h"

#include <array>
#include <cstdint>

// VideoNuLA, the replacement Video ULA, gives each of its 16 palette entries
// any 12-bit colour: 4 bits a channel, each value v shown as v * 17 of 255.
struct NulaColour {
    std::uint8_t red = 0;  // 0..15 each
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const NulaColour&, const NulaColour&) = default;
};

inline constexpr int kNulaEntries = 16;

// The 12-bit colour of each logical colour of a picture, by logical colour.
using NulaTable = std::array<NulaColour, kNulaEntries>;

// The colour's 0..255 sRGB component as the machine shows it.
constexpr std::uint8_t nulaComponent(std::uint8_t value)
{
    return static_cast<std::uint8_t>(value * 17);
}

LinearRgb nulaLinear(NulaColour colour);

// The physical colour 0..7 (red + 2 green + 4 blue) nearest in OKLab to
// `colour`, the first such in number order: what a machine without NuLA
// shows for it.
std::uint8_t nearestStandardColour(NulaColour colour);
