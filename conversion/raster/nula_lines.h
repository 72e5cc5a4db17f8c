#pragma once

#include "conversion/linear_image.h"
#include "conversion/nula_colours.h"
#include "conversion/option_catalogue.h"
#include "conversion/screen_modes.h"

#include <vector>

// The VideoNuLA colours of each line of a picture when they may change
// before every scan line, within the raster budget of the mode:
// - modes 0, 1, 4 and 5 (every colour may change a line): each line's
//   colours are the k-means centres in OKLab of the lines around it, each
//   line starting from the centres of the line above, so that the colours
//   move smoothly down the picture, spread out a little from their mean
//   (dithering mixes between them, so they must reach the extremes);
//   darkest first, as logical colours.
// - mode 2 (4 of the 16 colours a line): the picture's one set of colours
//   (chooseNulaColours) to start, then on each line the colours of the line
//   above with up to 4 of them replaced, each by the colour of the lines
//   around it that lowers their summed distance to the nearest colour most,
//   where the gain is worth it.
// Gives 256 tables, one a line.
std::vector<NulaTable> nulaLineColours(const LinearImage& grid, const ScreenMode& mode, Method method,
                                       float damping);
