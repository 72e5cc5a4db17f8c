#pragma once

#include "conversion/teletext_mode.h"

#include <array>
#include <cassert>
#include <cstdint>

inline constexpr int kTeletextColumns = kTeletextMode.columns;
inline constexpr int kTeletextRows = kTeletextMode.rows;
inline constexpr int kTeletextBytes = kTeletextMode.screenBytes();

// The SAA5050 control codes Rasterine writes (bit 7 set, as the BBC Micro
// stores them). Flashing (&88), double height (&8D) and conceal (&98) are
// never written.
namespace teletext_code {
inline constexpr std::uint8_t graphicsRed = 0x91;  // &91..&97: graphics in colour 1..7
inline constexpr std::uint8_t contiguous = 0x99;
inline constexpr std::uint8_t separated = 0x9A;
inline constexpr std::uint8_t blackBackground = 0x9C;
inline constexpr std::uint8_t newBackground = 0x9D;
inline constexpr std::uint8_t holdGraphics = 0x9E;
inline constexpr std::uint8_t releaseGraphics = 0x9F;

constexpr std::uint8_t graphicsColour(int colour)
{
    assert(colour >= 1 && colour <= 7);
    return static_cast<std::uint8_t>(0x90 + colour);
}
}  // namespace teletext_code

// The six sixels of a mosaic cell as bits: 1 top left, 2 top right, 4 middle
// left, 8 middle right, 16 bottom left, 32 bottom right.
using Sixels = std::uint8_t;

// The mosaic character &A0..&BF, &E0..&FF that shows `sixels`: bit 5 of the
// sixels (bottom right) is bit 6 of the character.
constexpr std::uint8_t mosaicByte(Sixels sixels)
{
    return static_cast<std::uint8_t>(0xA0 | (sixels & 0x1F) | ((sixels & 0x20) << 1));
}

// The sixels of a character from &20..&3F or &60..&7F (bit 7 ignored).
constexpr Sixels sixelsOf(std::uint8_t character)
{
    return static_cast<Sixels>((character & 0x1F) | ((character & 0x40) >> 1));
}

// Mode 7 screen memory: 25 rows of 40 bytes from &7C00, row by row.
struct TeletextScreen {
    std::array<std::uint8_t, kTeletextBytes> bytes{};

    std::uint8_t& at(int column, int row) { return bytes[index(column, row)]; }
    std::uint8_t at(int column, int row) const { return bytes[index(column, row)]; }

    friend bool operator==(const TeletextScreen&, const TeletextScreen&) = default;

private:
    static std::size_t index(int column, int row)
    {
        assert(column >= 0 && column < kTeletextColumns && row >= 0 && row < kTeletextRows);
        return static_cast<std::size_t>(row * kTeletextColumns + column);
    }
};
