#pragma once

#include "conversion/nula_colours.h"
#include "conversion/screen_modes.h"

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

inline constexpr int kScreenLines = 256;

// What every method of reducing a picture makes, and what the packer and the
// painter read: the logical colour of every pixel of a mode's screen, and the
// physical colour (0..7: red + 2 green + 4 blue) each logical colour shows.
//
// Pixels outside the painted area (right of `paintedWidth`, below
// `paintedLines`) came from no source pixel: they are logical colour 0 in
// screen memory and leave the preview as it was.
struct ScreenImage {
    const ScreenMode* mode = nullptr;
    std::vector<std::uint8_t> pixels;  // by scan line, then screen column
    std::array<std::uint8_t, 8> palette{};
    int paintedWidth = 0;
    int paintedLines = 0;
    // How the painter spreads screen pixels over the 320 preview columns.
    ColumnMap columns = ColumnMap::Same;
    // A picture for VideoNuLA: the 12-bit colour each logical colour shows,
    // with every colour the pixel's bits can number in use (16 in mode 2).
    // `palette` then holds the standard colour nearest each, what a machine
    // without NuLA shows.
    std::optional<NulaTable> nula;

    // No screen: a conversion to a mode that is not a bitmap (mode 7) has none.
    ScreenImage() = default;

    // A blank screen of `record`, all colour 0, with the mode's default palette.
    explicit ScreenImage(const ScreenMode& record)
        : mode(&record),
          pixels(static_cast<std::size_t>(record.screenPixelsPerLine()) * kScreenLines, 0),
          paintedWidth(record.screenPixelsPerLine()), paintedLines(kScreenLines),
          columns(record.columns)
    {
        for (int colour = 0; colour < record.numcols; ++colour)
            palette[static_cast<std::size_t>(colour)] = physicalColour(record.palette[static_cast<std::size_t>(colour)]);
    }

    // How many logical colours the pixels may hold.
    int logicalColours() const { return nula ? 1 << mode->bitsPerPixel() : mode->numcols; }
    int width() const { return mode->screenPixelsPerLine(); }
    std::uint8_t* line(int y) { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width()); }
    const std::uint8_t* line(int y) const { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width()); }
    std::uint8_t at(int x, int y) const { assert(x >= 0 && x < width() && y >= 0 && y < kScreenLines); return line(y)[x]; }

    friend bool operator==(const ScreenImage&, const ScreenImage&) = default;
};
