#pragma once

#include "conversion/linear_image.h"
#include "conversion/methods/index_image.h"
#include "conversion/methods/threshold_maps.h"

// Ordered dithering in linear light, so that a pattern keeps the amount of
// light of the colour it stands for. With all eight colours each component
// is on where its value passes the pixel's threshold. With fewer, each pixel
// mixes the two palette colours whose line passes nearest its colour, in the
// proportion that lands on it, the threshold deciding which one shows.
IndexImage orderedDither(const LinearImage& source, const MethodPalette& palette, const ThresholdMap& map);
