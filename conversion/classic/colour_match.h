#pragma once

#include "conversion/classic/conversion_state.h"
#include "platform/color.h"

#include <cstdint>

// Picks the logical colour of `curmode`, among colours 0..count-1, whose
// on/off pattern differs from the pixel's in the fewest components. Each
// component counts as on from 128 up (signed: negatives are off). Every colour
// is examined and only a strictly better one replaces the best, so ties go to
// the lowest index. `colour` receives the chosen colour's physical colour, each
// component exactly 0 or 255. Returns the logical colour, or -1 (and black)
// when count is below 1. Reads only `curmode` and `modeclrs`.
std::int32_t matchcol(const ConversionState& state, std::int32_t red, std::int32_t green,
                      std::int32_t blue, std::int32_t count, Color& colour);
