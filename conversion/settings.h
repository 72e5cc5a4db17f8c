#pragma once

#include "conversion/conversion_state.h"
#include "conversion/methods/method_options.h"

#include <cstdint>

// The options one conversion is made with, as the window's controls and the
// command line's arguments both give them. The window keeps them in its
// ConversionState, where its option handlers store them; the command line
// applies them to a fresh state per picture. Both then read them back from
// the state through the same two functions, so the same options give the
// same bytes from either.
//
// Mode 7 reads only the mode, fit, bar colour and adjustments: its converter
// chooses its own colours and mosaics, so half-tone, stagger, method,
// damping and palette are carried but not read.
struct Settings {
    int mode = 2;  // 0, 1, 2, 4, 5 or 7 (see convertibleMode)
    Halftone halftone = Halftone::None;
    bool stagger = false;
    // The options of the linear-light methods; the defaults give the classic
    // conversion exactly as before. The state holds none of them.
    Method method = Method::Classic;
    float damping = 1.0f;  // fraction of the error diffusion passes on, 0..1
    PaletteChoice palette;
    // Each logical colour any 12-bit colour, for a machine with VideoNuLA:
    // bitmap modes, methods other than Classic, and the default palette only.
    bool nula = false;
    Fit fit = Fit::Stretch;
    std::uint8_t barColour = 0;  // physical colour 0..7 of the bars "fit" leaves
    Adjustments adjustments;

    friend bool operator==(const Settings&, const Settings&) = default;
};

// Whether the engine converts `mode`: a bitmap mode with a record in
// kScreenModes, or mode 7, the teletext mode.
bool convertibleMode(int mode);

// The options held in a state; the others keep their defaults.
Settings settingsOf(const ConversionState& state);

// Stores the mode, half-tone and stagger into a state, as the window's
// option handlers do.
void applySettings(const Settings& settings, ConversionState& state);
