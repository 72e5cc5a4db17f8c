#pragma once

#include <stop_token>

#include "conversion/linear_image.h"
#include "conversion/methods/row_palettes.h"
#include "conversion/methods/progress_report.h"

// Polishes a dithered picture against the picture score itself: each pixel
// swaps colours with its right or lower neighbour, or failing that takes
// whichever colour, that lowers the summed OKLab distance between the
// blurred picture and the blurred source around it, read at up to two points
// a grid pixel along each axis, until a sweep changes nothing or `maxSweeps`
// have run; a pixel is tried again only when something within its reach has
// changed. Unlike the squared error of direct binary search this keeps
// sparse dots in deep shadows, where the eye's cube-root response makes them
// worth their cost. Each grid pixel is scaleX x scaleY display pixels.
// Deterministic. Each row shows its own palette.
IndexImage refineByScore(const LinearImage& source, const RowPalettes& palette, IndexImage start, int scaleX,
                         int scaleY, const ProgressReport& progress = {}, int maxSweeps = 4,
                         std::stop_token stop = {});
