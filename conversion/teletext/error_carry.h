#pragma once

#include "conversion/linear_image.h"
#include "conversion/teletext_chip.h"

#include <span>

// Error diffusion between character rows. The row programme settles a whole
// row at once, so error cannot travel along a row; what the bottom sixels of
// a row show too light or too dark is carried, in linear light and times
// `strength`, into the top sixels straight below, where the next row's
// programme makes up for it. (Spreading it sideways as well measured worse.)
//
// `samples` is a sixelSamples grid with one sample per sixel column; `looks`
// are the 40 cells of character row `row`, which must not be the last.
void carryRowError(LinearImage& samples, int row, std::span<const CellLook> looks, float strength);
