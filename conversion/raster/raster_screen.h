#pragma once

#include "conversion/linear_image.h"
#include "conversion/methods/progress_report.h"
#include "conversion/screen.h"
#include "conversion/settings.h"

#include <stop_token>

// A picture with its palette changed line by line: `grid` (the picture
// framed and adjusted on the mode's grid) given colours for each line
// (standardLinePalettes, or with `settings.nula` nulaLineColours fitted to
// the method's pixels, refined together with them by dbs: see
// line_colour_refinement.h) and dithered by the settings' method, each
// line in its own colours. The screen's palette schedule has an entry
// wherever the colours change, and fits the raster budget of its mode.
//
// `onePalette` is what the same settings make without colours by line; of
// the two, the one the picture score rates closer to `grid` is returned, so
// the result is never worse than one palette. (A screen of one palette
// entry is how the caller knows that one palette was kept.) `progress`
// hears how far the dithering has got.
Screen rasterScreen(const Settings& settings, const ScreenMode& mode, const LinearImage& grid, Screen onePalette,
                    const ProgressReport& progress = {}, std::stop_token stop = {});

// rasterScreen in its two steps, for a caller that makes the one-palette
// screen meanwhile on another core: the screen with colours by line, and
// the closer of the two. `onePalette` is read, and must be given, only
// where rasterStartsFromOnePalette (dbs in NuLA colours when only some of
// them may change a line, which starts from the one-palette screen).
bool rasterStartsFromOnePalette(const Settings& settings, const ScreenMode& mode);
Screen lineByLineScreen(const Settings& settings, const ScreenMode& mode, const LinearImage& grid,
                        const Screen* onePalette, const ProgressReport& progress = {}, std::stop_token stop = {});
Screen closerScreen(const LinearImage& grid, Screen raster, Screen onePalette);
