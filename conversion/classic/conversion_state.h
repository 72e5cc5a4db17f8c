#pragma once

#include "conversion/int_array.h"
#include "conversion/settings.h"

#include <cstdint>

inline constexpr int kPictureWidth = 320;
inline constexpr int kPictureHeight = 256;

// Everything one conversion reads: the sampled picture, the options, and the
// tables rebuilt at the start of each conversion. The window owns one; the
// command line makes one per picture so that conversions can run side by side.
// At creation every array is all zero and every scalar is 0 or false;
// `setStartValues` gives the options their working values.
struct ConversionState {
    // Palette by (mode, logical colour, component): 1 where the component is on.
    IntArray3<6, 8, 3> modeclrs;
    // Source picture by (column 0..319, scan line 0..255), components 0..255.
    IntArray2<kPictureWidth, kPictureHeight> red;
    IntArray2<kPictureWidth, kPictureHeight> green;
    IntArray2<kPictureWidth, kPictureHeight> blue;
    // Half-tone offsets by (column mod 16, scan line mod 16).
    IntArray2<16, 16> mat;
    // 4 x 4 base patterns of "Fine", "Coarse", "Spiral" and "Diagonal".
    IntArray2<4, 4> sub1;
    IntArray2<4, 4> sub2;
    IntArray2<4, 4> sub3;
    IntArray2<4, 4> sub4;

    std::int32_t curmode = 0;  // BBC Micro screen mode: 0, 1, 2, 4, 5 or 7 (teletext, never the pass)
    std::int32_t htone = 0;    // a Halftone value
    bool stagger = false;      // green and blue read the matrix at shifted places
    std::int32_t aspect = 0;   // source-column mapping and pair averaging while > 0
    std::int32_t picwidth = 0;
    std::int32_t picheight = 0;

    // Mode 2, no half-tone, no stagger, aspect correction on, 320 x 256 planes.
    void setStartValues();

    friend bool operator==(const ConversionState&, const ConversionState&) = default;
};

// Writes the mode palettes and the four base patterns. Running it again writes
// the same values; it touches nothing else.
void InitVars(ConversionState& state);

// The options held in a state; the others keep their defaults.
Settings settingsOf(const ConversionState& state);

// Stores the mode, half-tone and stagger into a state, as the window's
// option handlers do.
void applySettings(const Settings& settings, ConversionState& state);
