#pragma once

#include "conversion/screen.h"
#include "outputs/nula_setup.h"
#include "platform/failure.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// One VDU 19 statement: logical colour `logical` shows physical colour
// `physical` (0..15; 8..15 flash, and show as their first colour, 0..7).
struct PaletteChange {
    int logical = 0;
    int physical = 0;
    friend bool operator==(const PaletteChange&, const PaletteChange&) = default;
};

// What is known of a screen's colours beside its memory: VDU 19 changes
// from the mode's default palette, or the 32 bytes a loader writes to
// VideoNuLA's &FE23 (a .nula file, see nulaRegisterBytes), or neither.
struct ScreenColours {
    std::vector<PaletteChange> changes;
    std::optional<std::array<std::uint8_t, kNulaBytes>> nulaRegisters;
    friend bool operator==(const ScreenColours&, const ScreenColours&) = default;
};

// The 12-bit colour of each logical colour of `mode` that `registers`
// program (the first entry showing each logical colour; unused ones
// black, as the colour search leaves them).
NulaTable nulaTableOf(const ScreenMode& mode, const std::array<std::uint8_t, kNulaBytes>& registers);

// Screen memory `memory` shown in mode `mode` with `colours`: the document
// the packer turns back into the same bytes. Fails when the mode has no
// record or the memory is not that mode's length. Without NuLA colours a
// mode 2 pixel's fourth bit (a flashing colour) is dropped: the screen
// shows its first colour.
Result<Screen> screenFromMemory(int mode, std::span<const std::uint8_t> memory, const ScreenColours& colours);
