#pragma once

#include "conversion/linear_image.h"
#include "conversion/methods/index_image.h"
#include "conversion/methods/progress_report.h"

// Direct binary search: starting from `start`, changes one pixel's colour or
// swaps two neighbours' colours wherever that lowers the eye-weighted error
// (the blurred error, taken in OKLab as seen near each
// source colour), sweeping the picture until a sweep changes nothing or
// `maxSweeps` have run. Each grid pixel is scaleX x scaleY display pixels.
// Deterministic: the same input gives the same output.
IndexImage directBinarySearch(const LinearImage& source, const MethodPalette& palette, IndexImage start,
                              int scaleX, int scaleY, const ProgressReport& progress = {},
                              int maxSweeps = 10);
