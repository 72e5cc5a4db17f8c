#pragma once

#include "conversion/conversion_state.h"

// The options one conversion is made with, as the window's controls and the
// command line's arguments both give them. The window keeps them in its
// ConversionState, where its option handlers store them; the command line
// applies them to a fresh state per picture. Both then read them back from
// the state through the same two functions, so the same options give the
// same bytes from either.
struct Settings {
    int mode = 2;
    Halftone halftone = Halftone::None;
    bool stagger = false;

    friend bool operator==(const Settings&, const Settings&) = default;
};

// The options held in a state.
Settings settingsOf(const ConversionState& state);

// Stores the options into a state, as the window's option handlers do.
void applySettings(const Settings& settings, ConversionState& state);
