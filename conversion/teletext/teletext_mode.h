#pragma once

#include <cstdint>
#include <string>

// Mode 7, the teletext mode: 25 rows of 40 character cells, one byte each,
// shown by the SAA5050 character generator from &7C00 up. It has no record in
// kScreenModes (whose modes are bitmaps of 32 character rows ending at &8000)
// so that findScreenMode never hands a teletext screen to the bitmap pass.
struct TeletextMode {
    int number;
    int columns;                // character cells per row
    int rows;                   // character rows
    std::uint32_t screenStart;  // first byte of screen memory

    constexpr int screenBytes() const { return columns * rows; }
};

inline constexpr TeletextMode kTeletextMode{7, 40, 25, 0x7C00};

// The record for a mode number, or nullptr unless it is the teletext mode.
constexpr const TeletextMode* findTeletextMode(int mode)
{
    return mode == kTeletextMode.number ? &kTeletextMode : nullptr;
}

// The side file's line for a teletext screen: "$.SCREEN   007C00 000000 0003E8".
std::string infLine(const TeletextMode& mode);
