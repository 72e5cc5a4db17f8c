#pragma once

#include "conversion/screen.h"

#include <cstdint>
#include <vector>

// A screen whose palette changes line by line, as the bytes the machine
// writes to its palette register: line 0's whole palette (in the vertical
// blanking), then for each later line whose palette differs from the one
// above, the entries of each logical colour that changed (in the
// horizontal blanking before it).
//
// The register is the video ULA's &FE21 (one byte per entry: entry * 16 +
// physical colour XOR 7) or, for NuLA colours, VideoNuLA's &FE23 (two:
// entry * 16 + red, green * 16 + blue). A logical colour is every entry
// whose index the pixel's bits make (see logicalColourOfIndex): 8 in a
// 2-colour mode, 4 in a 4-colour mode, 1 in mode 2.

inline constexpr std::uint8_t kUlaPaletteRegister = 0x21;   // &FE21
inline constexpr std::uint8_t kNulaPaletteRegister = 0x23;  // &FE23

// The writes made before one scan line.
struct RasterRecord {
    int line = 0;
    std::vector<std::uint8_t> bytes;

    friend bool operator==(const RasterRecord&, const RasterRecord&) = default;
};

struct RasterWrites {
    std::uint8_t paletteRegister = kUlaPaletteRegister;
    std::vector<RasterRecord> records;  // line 0 first, lines rising

    friend bool operator==(const RasterWrites&, const RasterWrites&) = default;
};

// Whether `screen` is a bitmap screen whose palette changes line by line.
bool changesLineByLine(const Screen& screen);

// The writes that show `screen`'s palette schedule. The screen must be a
// bitmap screen.
RasterWrites rasterWrites(const Screen& screen);

// The bytes that set palette entry `entry` to its colour in `palette`, as
// written to the screen's register (1 byte, or 2 for NuLA colours).
std::vector<std::uint8_t> entryBytes(const Screen& screen, const LinePalette& palette, int entry);
