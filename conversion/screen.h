#pragma once

#include "conversion/nula_colours.h"
#include "conversion/screen_modes.h"
#include "conversion/teletext_screen.h"

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

inline constexpr int kScreenLines = 256;

// The window's canvas, on which every mode's screen is previewed.
inline constexpr int kCanvasWidth = 320;
inline constexpr int kCanvasHeight = 256;

// The display grid every mode fills: mode 0's pixels are 1 x 2 of it, mode
// 1's 2 x 2, mode 2's 4 x 2, mode 7's teletext 1 x 1 (over 500 lines).
inline constexpr int kDisplayWidth = 640;
inline constexpr int kDisplayLines = 512;

// The colours a bitmap screen's logical colours show from scan line
// `firstLine` on: the physical colour (0..7: red + 2 green + 4 blue) of
// each, as the video ULA's palette sets it, and for a machine with
// VideoNuLA the 12-bit colour of each, with every colour the pixel's bits
// can number in use (16 in mode 2). With NuLA colours `physical` holds the
// standard colour nearest each, what a machine without NuLA shows.
struct LinePalette {
    int firstLine = 0;
    std::array<std::uint8_t, 8> physical{};
    std::optional<NulaTable> nula;

    friend bool operator==(const LinePalette&, const LinePalette&) = default;
};

// One picture on the BBC Micro's screen: what every method makes, what the
// packer packs, the painters paint, the files and discs are made from and
// the windows show.
//
// A bitmap screen holds the logical colour of every pixel and its palettes
// as a schedule by scan line: the first from line 0, each later one from its
// `firstLine` (a screen of one palette has one entry). A teletext screen
// (mode 7) holds its 1000 bytes and no palette.
//
// Pixels outside the painted area (right of `paintedWidth`, below
// `paintedLines`) came from no source pixel: they are logical colour 0 in
// screen memory and are not painted.
struct Screen {
    int modeNumber = 0;
    const ScreenMode* mode = nullptr;  // the bitmap record; none for teletext
    std::vector<std::uint8_t> pixels;  // by scan line, then column; teletext: its bytes
    std::vector<LinePalette> palettes;
    int paintedWidth = 0;
    int paintedLines = 0;
    // How the canvas painter spreads screen pixels over its 320 columns.
    ColumnMap columns = ColumnMap::Same;

    Screen() = default;

    // A blank screen of `record`, all colour 0, in the mode's default palette.
    explicit Screen(const ScreenMode& record);

    // Mode 7's screen memory, 1000 bytes from &7C00.
    static Screen teletext(std::vector<std::uint8_t> bytes);

    bool isTeletext() const { return mode == nullptr; }
    std::uint32_t screenStart() const;
    int screenBytes() const;

    // The palette of the whole screen, or of its first lines when it changes
    // line by line.
    const LinePalette& palette() const { assert(!palettes.empty()); return palettes.front(); }
    LinePalette& palette() { assert(!palettes.empty()); return palettes.front(); }
    // The palette scan line `y` shows.
    const LinePalette& paletteAt(int y) const;
    bool hasNula() const;

    // How many logical colours the pixels may hold.
    int logicalColours() const { return hasNula() ? 1 << mode->bitsPerPixel() : mode->numcols; }
    int width() const { return mode->screenPixelsPerLine(); }
    std::uint8_t* line(int y) { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width()); }
    const std::uint8_t* line(int y) const { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width()); }
    std::uint8_t at(int x, int y) const { assert(x >= 0 && x < width() && y >= 0 && y < kScreenLines); return line(y)[x]; }

    friend bool operator==(const Screen&, const Screen&) = default;
};

// Screen memory as the machine's display reads it: a bitmap screen packed
// (see screen_layout.h), a teletext screen's bytes as they are.
std::vector<std::uint8_t> screenMemory(const Screen& screen);

// A teletext screen as the document every writer reads, and back.
Screen teletextDocument(const TeletextScreen& teletext);
TeletextScreen teletextScreen(const Screen& screen);
