#pragma once

#include "conversion/screen.h"
#include "conversion/settings.h"

#include <cstdint>
#include <vector>

// A converted picture: the settings that made it and the screen they made.
// Everything else (screen memory, previews, files, discs) is made from it.
struct Conversion {
    Settings settings;
    Screen screen;

    int mode() const { return screen.modeNumber; }
    std::uint32_t screenStart() const { return screen.screenStart(); }
    // Screen memory, from screenStart() up (see screenMemory).
    std::vector<std::uint8_t> bytes() const { return screenMemory(screen); }

    friend bool operator==(const Conversion&, const Conversion&) = default;
};
