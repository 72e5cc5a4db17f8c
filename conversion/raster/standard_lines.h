#pragma once

#include "conversion/linear_image.h"
#include "conversion/screen_modes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The standard colours of each line of a picture in mode 0, 1, 4 or 5 when
// the palette may change before every scan line: one set of the mode's
// number of physical colours a line, chosen together for all 256 lines by
// dynamic programming (Viterbi) over the sets (28 pairs, 70 fours), where a
// line's set differs from the line above's by at most the raster budget's
// one colour and a set costs what a line dithered in it is estimated to
// miss (LineCost, with its neighbours). The sets become logical colours so
// that from one line to the next only the logical colour whose physical
// colour left the set changes. With `holding`, every set holds that
// physical colour (the bars of a picture fitted whole).
// Gives the physical colour of each logical colour, by line.
std::vector<std::array<std::uint8_t, 8>> standardLinePalettes(const LinearImage& grid, const ScreenMode& mode,
                                                              std::optional<std::uint8_t> holding);
