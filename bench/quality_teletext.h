#pragma once

#include "quality_runs.h"

// Mode 7 measured as the bitmap modes are, on its own 640 x 500 display area
// (40 x 25 cells of 16 x 20): the source stretched over it in linear light
// against the screen as drawn, at each blur of `sigmas`.
struct TeletextMeasures {
    std::vector<double> distance;  // one for each sigma
    double ssim;                   // of the blurred lightness, at the second sigma
    double seconds;                // the whole conversion
    int edgeFlips;                 // leftEdgeFlips of the screen
};

// Rasterine's mode 7 through the engine entry, with default settings.
TeletextMeasures measureTeletext(const QualityPicture& picture, const std::vector<float>& sigmas);

// The plain yardstick converter, from the same 320 x 256 planes.
TeletextMeasures measurePlainTeletext(const QualityPicture& picture, const std::vector<float>& sigmas);
