#pragma once

#include <stop_token>

#include "conversion/linear_image.h"
#include "conversion/methods/row_palettes.h"
#include "conversion/methods/progress_report.h"

// Direct binary search: starting from `start`, changes one pixel's colour or
// swaps two neighbours' colours wherever that lowers the eye-weighted error
// (the blurred error, taken in OKLab as seen near each
// source colour), sweeping the picture until a sweep changes nothing or
// `maxSweeps` have run. Each grid pixel is scaleX x scaleY display pixels.
// Deterministic: the same input gives the same output. A stop requested
// ends the search after the row it is on. Each row shows its own palette;
// a swap between rows swaps logical colours, each seen in its row's colours.
IndexImage directBinarySearch(const LinearImage& source, const RowPalettes& palette, IndexImage start,
                              int scaleX, int scaleY, const ProgressReport& progress = {},
                              int maxSweeps = 10, std::stop_token stop = {});
