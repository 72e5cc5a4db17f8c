#pragma once

#include <stop_token>

#include "conversion/linear_image.h"
#include "conversion/methods/row_palettes.h"
#include "conversion/option_catalogue.h"
#include "conversion/methods/progress_report.h"

// Runs one of the linear-light methods (any but Classic) on `source`, the
// picture on the grid to be dithered whose pixels are scaleX x scaleY
// display pixels. `damping` is the share of error the diffusion methods pass
// on; "dbs" starts from Floyd-Steinberg with full error, searches, then
// polishes the result against the picture score (see refineByScore()).
// Each row of the grid is dithered in its own palette.
IndexImage runMethod(Method method, const LinearImage& source, const RowPalettes& palette, float damping,
                     int scaleX, int scaleY, const ProgressReport& progress = {}, std::stop_token stop = {});

// A method's quick pass, for searches that weigh a palette by the picture it
// gives: error diffusion and ordered dithering as they run, and for the
// others Floyd-Steinberg, where direct binary search starts.
IndexImage quickPass(Method method, const LinearImage& source, const RowPalettes& palette, float damping);
