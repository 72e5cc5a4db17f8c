#pragma once

#include "conversion/classic/conversion_state.h"

#include <cstdint>

// Offset for a threshold rank 0..255: (rank - 128) * 9 / 10, centred on zero
// and scaled to nine tenths so that the strongest offsets leave a little
// headroom. Fractional quotients are truncated toward zero (-115.2 -> -115,
// -112.5 -> -112, 4.5 -> 4), so offsets run from -115 to 114.
std::int32_t scaledOffset(std::int32_t rank);

// Builds the 16 x 16 half-tone matrix `mat` for `htone`: all zero for "None";
// otherwise the chosen 4 x 4 base pattern subdivided twice into 256 ranks and
// scaled by scaledOffset. Needs InitVars to have written the base patterns.
void InitMat(ConversionState& state);

// The 16 x 16 threshold ranks 0..255 of `htone` before scaling, all zero
// for "None": the order in which the half-tone's cells light up.
IntArray2<16, 16> halftoneRanks(const ConversionState& state);
