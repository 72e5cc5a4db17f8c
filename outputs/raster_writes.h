#pragma once

#include "conversion/screen.h"

#include <array>
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
// 2-colour mode, 4 in a 4-colour mode, 1 in mode 2. NuLA colours in modes
// 0, 1, 4 and 5 are shown with NuLA's palette mode off and each logical
// colour's video ULA entries pointing at the NuLA entry of its number
// (see nulaByLogicalColour): there a logical colour is that one NuLA entry.

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
    // NuLA entries are logical colours, reached through the video ULA's
    // palette (see logicalColourPointers), not the video ULA's 16 indexes.
    bool nulaByLogicalColour = false;
    std::vector<RasterRecord> records;  // line 0 first, lines rising

    friend bool operator==(const RasterWrites&, const RasterWrites&) = default;
};

// Whether `screen` is a bitmap screen whose palette changes line by line.
bool changesLineByLine(const Screen& screen);

// Whether the screen's NuLA colours are shown logical colour by NuLA
// entry: a bitmap mode of 2 or 4 colours, whose logical colour is 8 or 4
// of the 16 indexes NuLA's palette mode would look up, two writes each.
bool nulaByLogicalColour(const Screen& screen);

// The 16 bytes written to &FE21 that point each video ULA entry of a
// logical colour at NuLA entry of the same number (entry * 16 + (logical
// XOR 7): NuLA shows entry 7 XOR the byte's low bits with its palette
// mode off).
std::array<std::uint8_t, 16> logicalColourPointers(const ScreenMode& mode);

// The 16 bytes written to &FE21 that show, without VideoNuLA, the standard
// colour nearest each logical colour's 12-bit colour in `palette`.
std::array<std::uint8_t, 16> nearestStandardEntries(const ScreenMode& mode, const LinePalette& palette);

// The writes that show `screen`'s palette schedule. The screen must be a
// bitmap screen.
RasterWrites rasterWrites(const Screen& screen);

// The bytes that set entry `entry` of the screen's register to its colour
// in `palette` (1 byte, or 2 for NuLA colours); with nulaByLogicalColour,
// NuLA entry `entry` is logical colour `entry`.
std::vector<std::uint8_t> entryBytes(const Screen& screen, const LinePalette& palette, int entry);
