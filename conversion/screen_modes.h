#pragma once

#include <array>
#include <cstdint>
#include <optional>

// One record per BBC Micro screen mode the converter supports. Modes 3 and 6
// are text-gapped modes and have no record. Every mode has 32 character rows of
// 8 scan lines; a character row is `rowbytes` cells of 8 bytes, one byte per
// scan line, each byte holding `pixperbyte` adjacent pixels.
struct ScreenMode {
    int number;
    int rowbytes;
    int pixperbyte;
    int numcols;           // logical colours offered to matching
    std::uint32_t screenStart;  // first byte of screen memory; the screen ends at &8000
    // Red, green, blue on/off for each logical colour: the machine's default
    // physical colour for that logical colour.
    std::array<std::array<std::int32_t, 3>, 8> palette;

    constexpr int screenPixelsPerLine() const { return rowbytes * pixperbyte; }
    constexpr int screenBytes() const { return 32 * 8 * rowbytes; }
};

namespace screen_palettes {
inline constexpr std::array<std::array<std::int32_t, 3>, 8> twoColour{{{0, 0, 0}, {1, 1, 1}}};
inline constexpr std::array<std::array<std::int32_t, 3>, 8> fourColour{
    {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}}};
// Logical colour = red + 2 * green + 4 * blue.
inline constexpr std::array<std::array<std::int32_t, 3>, 8> eightColour{
    {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}}};
}  // namespace screen_palettes

inline constexpr std::array<ScreenMode, 5> kScreenModes{{
    {0, 80, 8, 2, 0x3000, screen_palettes::twoColour},
    {1, 80, 4, 4, 0x3000, screen_palettes::fourColour},
    {2, 80, 2, 8, 0x3000, screen_palettes::eightColour},
    {4, 40, 8, 2, 0x5800, screen_palettes::twoColour},
    {5, 40, 4, 4, 0x5800, screen_palettes::fourColour},
}};

// The record for a mode number, if the converter supports that mode.
constexpr const ScreenMode* findScreenMode(int mode)
{
    for (const auto& record : kScreenModes)
        if (record.number == mode)
            return &record;
    return nullptr;
}

// The per-mode numbers the conversion pass and the packer work with.
struct ModeGeometry {
    int rowbytes;
    int pixperbyte;
    int numcols;
};

// Geometry derived from a mode number: 80 cells per row for modes 0 to 2 and 40
// otherwise; 8 pixels of 2 colours for modes 0 and 4, 4 of 4 for modes 1 and 5,
// and 2 pixels of 8 colours for any other mode.
ModeGeometry modeGeometry(int curmode);
