#pragma once

#include "conversion/linear_image.h"
#include "conversion/methods/row_palettes.h"
#include "conversion/methods/threshold_maps.h"

// Ordered dithering in linear light, so that a pattern keeps the amount of
// light of the colour it stands for; the pixel's threshold picks among the
// colours that mix to it. With all eight colours each component is on where
// its value passes the threshold; with two, the mix is the point on the line
// between them nearest the colour; otherwise it is a plan of 16 colours
// (Knoll's pattern dithering) whose mean is the colour. Each row in its own
// palette.
IndexImage orderedDither(const LinearImage& source, const RowPalettes& palettes, const ThresholdMap& map);
