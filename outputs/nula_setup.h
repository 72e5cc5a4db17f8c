#pragma once

#include "conversion/screen.h"

#include <array>
#include <cstdint>
#include <string>

// Programming VideoNuLA for a picture in NuLA colours, in a way that one
// disc serves machines with and without it.
//
// NuLA's palette register &FE23 takes two writes per entry: entry * 16 +
// red, then green * 16 + blue. Its control register &FE22 takes a command
// in the high nibble: 4 resets the palette to the standard colours (and the
// two-write sequence), 1 with parameter 1 turns on palette mode, in which
// the 4-bit index the video ULA forms from a pixel's bits selects an entry
// directly, bypassing &FE21. Without NuLA, &FE22 and &FE23 are &FE20 (the
// video control register) and &FE21 (the palette), so the set-up ends by
// putting back &FE20 from the OS's copy at &248 and then sets &FE21 with
// VDU 19 to the standard colour nearest each 12-bit colour: a machine with
// NuLA ignores &FE21 in palette mode, one without shows those colours.

inline constexpr int kNulaBytes = 32;

// The logical colour whose pixels make the video ULA's palette index
// `index` (0..15) in `mode`: the index's bits are a byte's bits 7, 5, 3 and
// 1 as the byte shifts out, so a 2-colour mode's pixel is its bit 3, a
// 4-colour mode's its bits 3 and 1, and mode 2's all four.
int logicalColourOfIndex(const ScreenMode& mode, int index);

// The 32 bytes written to &FE23, in order: entries 0 to 15, each in the
// colour of the logical colour it shows. The image must have NuLA colours.
std::array<std::uint8_t, kNulaBytes> nulaRegisterBytes(const Screen& image);

// Each entry's red, green and blue as hex digits, 48 in all, entries 0 to
// 15: what a slideshow's loader writes to &FE23 after each entry's number.
std::string nulaEntryDigits(const Screen& image);

// The standard colour nearest each logical colour's 12-bit colour, one
// digit each: what a machine without NuLA shows through &FE21.
std::string nulaFallbackDigits(const Screen& image);

// BBC BASIC statements, ending with ':', that program NuLA with the image's
// colours and set the fallback palette. The image must have NuLA colours.
std::string nulaSetupStatements(const Screen& image);

// The statement that puts NuLA back to its standard colours and out of
// palette mode, ending with ':' (harmless without NuLA: the next MODE
// sets &FE20 again).
inline constexpr const char* kNulaResetStatement = "?&FE22=&40:";
