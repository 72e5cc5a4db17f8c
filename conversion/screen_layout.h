#pragma once

#include "conversion/screen.h"
#include "conversion/screen_modes.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The packer: screen image to screen memory, the way the BBC Micro's video
// hardware reads it. A byte holds pixperbyte pixels of b = 8 / pixperbyte
// bits; bit k of the pixel at position i (0 leftmost) sits at bit
// (pixperbyte - 1 - i) + k * pixperbyte. So:
//   modes 0 and 4: bit 7-i is set when pixel i is not colour 0;
//   modes 1 and 5: bit 7-i holds bit 1 of pixel i, bit 3-i holds its bit 0;
//   mode 2: bits 7/6 hold bit 3 of pixels 0/1, bits 5/4 bit 2, bits 3/2 bit 1,
//           bits 1/0 bit 0; bits 7 and 6 stay 0 unless VideoNuLA colours
//           16 logical colours.
std::uint8_t packPixels(const ScreenMode& mode, const std::int32_t* bytecols);
// The same for pixels of `colours` logical colours (at most 1 << b).
std::uint8_t packPixels(const ScreenMode& mode, const std::int32_t* bytecols, int colours);

// Offset in screen memory of the byte for scan line y (0..255) in cell m:
// character rows from the top, cells from the left, 8 scan lines per cell.
constexpr std::size_t screenByteOffset(int rowbytes, int y, int m)
{
    return static_cast<std::size_t>(y / 8) * 8 * rowbytes + 8 * static_cast<std::size_t>(m) +
           static_cast<std::size_t>(y % 8);
}

// Every byte of the screen, in screen-memory order. Lines below the painted
// area are 0.
std::vector<std::uint8_t> packScreen(const Screen& image);

// The packer undone: the logical colour of every pixel of `mode`, by scan
// line then column, that screen memory `memory` (mode.screenBytes() long)
// holds. Every bit of a pixel is read, so mode 2 gives 16 colours.
std::vector<std::uint8_t> unpackScreen(const ScreenMode& mode, std::span<const std::uint8_t> memory);
