#pragma once

#include "conversion/teletext_screen.h"

#include <cstdint>

// What the SAA5050 remembers along a row. Every row starts as this default:
// white alphanumerics on black, contiguous, hold off, nothing held.
struct ChipState {
    std::uint8_t foreground = 7;  // colour of what the next cell draws
    std::uint8_t background = 0;
    bool graphics = false;
    bool separated = false;
    bool hold = false;
    Sixels held = 0;              // the last mosaic shown (0: none)
    bool heldSeparated = false;   // the style it was drawn in

    friend bool operator==(const ChipState&, const ChipState&) = default;
};

// What one cell shows: mosaic sixels (0 for a space, a control code shown as
// a space, or a letter, which Rasterine never writes) drawn in `foreground`
// on `background`, contiguous or separated.
struct CellLook {
    Sixels sixels = 0;
    bool separated = false;
    std::uint8_t foreground = 7;
    std::uint8_t background = 0;

    friend bool operator==(const CellLook&, const CellLook&) = default;
};

// Shows the character `byte` (bit 7 ignored) with the chip in `state` and
// moves the state on to the next cell, as jsbeeb's SAA5050 does:
// - colour codes act from the next cell, and new/black background on their
//   own cell (so &9D shows a block of the colour in force);
// - hold graphics (&9E) acts on its own cell and release (&9F) from the next:
//   a control cell in graphics mode with hold on shows the held mosaic, in
//   the colour and style it was drawn in; any other control cell shows a
//   space and forgets the held mosaic;
// - contiguous (&99) and separated (&9A) apply to later mosaics.
// Flashing and double height are not drawn; conceal (&98) turns the colour
// into the background's, as jsbeeb does.
CellLook showCell(ChipState& state, std::uint8_t byte);
