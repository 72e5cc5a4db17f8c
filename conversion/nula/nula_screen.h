#pragma once

#include <stop_token>

#include "conversion/linear_image.h"
#include "conversion/option_catalogue.h"
#include "conversion/methods/progress_report.h"
#include "conversion/screen.h"
#include "conversion/settings.h"

#include <string>

// A picture in VideoNuLA colours: `grid` (on the mode's own grid) dithered
// by `method` (any but Classic) in 12-bit colours chosen for it and for the
// method (chooseNulaColours). The image carries the colours, and its
// palette the standard colour nearest each, for machines without NuLA.
Screen nulaScreenImage(const ScreenMode& mode, const LinearImage& grid, Method method, float damping,
                            const ProgressReport& progress = {}, std::stop_token stop = {});

// The image that `dithered` (logical colours on the mode's grid) makes in
// `colours`.
Screen nulaImageOf(const ScreenMode& mode, std::vector<std::uint8_t> dithered, const NulaTable& colours);
