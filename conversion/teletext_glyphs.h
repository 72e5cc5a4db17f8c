#pragma once

#include "conversion/teletext_screen.h"

#include <cstdint>

// A character cell as jsbeeb draws it: 16 pixels by 20 lines (10 scan lines
// in each of the two interlaced fields). The SAA5050 builds a mosaic on a
// 6 × 10 dot grid: sixel columns of 3 dots, sixel rows of 3, 4 and 3 dots,
// each dot row two lines high. Separated mosaics leave out the first dot
// column and the last dot row of every sixel. jsbeeb stretches the 12
// half-dots of a row over 16 pixels, so a pixel's foreground weight is the
// number (0..3) of its three quarter-dot parts that fall on a lit half-dot.
inline constexpr int kCellPixels = 16;
inline constexpr int kCellLines = 20;

// The foreground weight 0..3 of pixel (x, line) of a cell showing `sixels`.
int glyphWeight(Sixels sixels, bool separated, int x, int line);

// The first line of sixel row 0, 1, 2 and the end of the cell: 0, 6, 14, 20.
inline constexpr int kSixelRowLine[4] = {0, 6, 14, 20};
