#pragma once

#include "conversion/classic/conversion_state.h"
#include "conversion/linear_image.h"
#include "conversion/methods/progress_report.h"
#include "conversion/screen.h"
#include "conversion/settings.h"
#include "platform/pixel_surface.h"

#include <stop_token>

// The screen `settings` make of a picture, behind convert(): `canvas` is
// the picture stretched to 320 x 256, `source` the picture in linear light
// at any size, ideally larger than the mode's grid.
//
// With Method::Classic the canvas is sampled into a conversion state of its
// own, which takes the mode, half-tone and Stagger from the settings, and
// the classic pass runs on its planes; when the fit is not Stretch or the
// adjustments are not neutral the planes are first made again from
// `source` framed and adjusted. Default settings give exactly the classic
// conversion of the canvas. Mode 7 goes to the teletext converter on the
// planes or, when the fit or the adjustments ask, on `source` framed and
// adjusted for its 640 x 500 area. Every other method frames `source` onto
// the mode's own grid, adjusts it, chooses the palette (or, with `nula`,
// 12-bit VideoNuLA colours, see nulaScreenImage) and dithers; `progress`
// hears how far direct binary search has got.
//
// The settings must be valid (settingsProblem() empty); `source` must not
// be empty when it is read (readsSource()).
Screen convertedScreen(const Settings& settings, const PixelSurface& canvas, const LinearImage& source,
                       const ProgressReport& progress = {}, std::stop_token stop = {});

// Whether a conversion with `settings` reads `source` (a method other than
// Classic, a fit other than Stretch or adjustments that are not neutral);
// when it does not, the canvas is all it reads.
bool readsSource(const Settings& settings);

// The picture framed and adjusted as `settings` ask, on a grid of `width` x
// 256: what the linear-light methods dither.
LinearImage preparedSource(const Settings& settings, const LinearImage& source, int width);

// The canvas's pixels into the state's planes, rows from the top.
void samplePlanes(const PixelSurface& canvas, ConversionState& state);

// The picture in linear light: the first picwidth × picheight pixels of the
// state's planes (320 × 256 when the state gives no size).
LinearImage planesLinear(const ConversionState& state);
