#pragma once

#include <cstdint>

// A 24-bit colour, 8 bits per component.
struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend constexpr bool operator==(Color, Color) = default;
};

// Builds a colour from three components; values outside 0..255 keep their low 8 bits.
constexpr Color RGB(int r, int g, int b)
{
    return Color{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                 static_cast<std::uint8_t>(b)};
}

// The 0xFFRRGGBB word that Qt's RGB32 images and our in-memory surfaces hold.
constexpr std::uint32_t toRgb32(Color c)
{
    return 0xFF000000u | (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
}

constexpr Color fromRgb32(std::uint32_t word)
{
    return Color{static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
                 static_cast<std::uint8_t>(word)};
}
