#pragma once

#include <stop_token>

#include "conversion/linear_image.h"
#include "conversion/methods/index_image.h"
#include "conversion/methods/progress_report.h"

// Direct binary search: starting from `start`, changes one pixel's colour or
// swaps two neighbours' colours wherever that lowers the eye-weighted error
// (the blurred error, taken in OKLab as seen near each
// source colour), sweeping the picture until a sweep changes nothing or
// `maxSweeps` have run. Each grid pixel is scaleX x scaleY display pixels.
// Deterministic: the same input gives the same output. A stop requested
// ends the search after the row it is on.
IndexImage directBinarySearch(const LinearImage& source, const MethodPalette& palette, IndexImage start,
                              int scaleX, int scaleY, const ProgressReport& progress = {},
                              int maxSweeps = 10, std::stop_token stop = {});
