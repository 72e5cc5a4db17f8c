#pragma once

#include "conversion/screen.h"
#include "conversion/settings.h"

#include <cstdint>
#include <string>
#include <vector>

// A converted picture: the settings that made it and the screen they made.
// Everything else (screen memory, previews, files, discs) is made from it.
struct Conversion {
    Settings settings;
    Screen screen;
    // What the engine decided that the user should hear, e.g. that one
    // palette for the whole screen looked better than colours by line and
    // was kept; empty when there is nothing to say.
    std::string note;

    int mode() const { return screen.modeNumber; }
    std::uint32_t screenStart() const { return screen.screenStart(); }
    // Screen memory, from screenStart() up (see screenMemory).
    std::vector<std::uint8_t> bytes() const { return screenMemory(screen); }

    friend bool operator==(const Conversion&, const Conversion&) = default;
};
