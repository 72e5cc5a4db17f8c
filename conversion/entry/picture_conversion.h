#pragma once

#include <stop_token>

#include "conversion/classic/conversion_pass.h"
#include "conversion/classic/conversion_state.h"
#include "conversion/linear_image.h"
#include "conversion/methods/progress_report.h"
#include "conversion/settings.h"

// The one conversion the window and the command line both call.
//
// `state` holds the sampled 320 x 256 planes (and, for the window, its
// options); `source` is the picture in linear light at any size, ideally
// larger than the mode's grid. With Method::Classic the settings are stored
// into the state and the classic conversion runs on its planes; when the
// fit is not Stretch or the adjustments are not neutral the planes are first
// made again from `source` framed and adjusted. Default settings give exactly
// the classic conversion of the planes. Mode 7 goes to the teletext
// converter (convertTeletext) on the planes or, when the fit or the
// adjustments ask, on `source` framed and adjusted for its 640 x 500 area;
// it reads no method, palette, half-tone or stagger. Every other method frames `source`
// onto the mode's own grid, adjusts it, chooses the palette (or, with
// `nula`, 12-bit VideoNuLA colours, see nulaScreenImage) and dithers;
// `progress` hears how far direct binary search has got.
//
// The settings must be valid (a convertibleMode(), a palette that suits it,
// see paletteProblem(); `nula` only with a bitmap mode, a method other than
// Classic and the default palette); `source` must not be empty when it is read.
Conversion convertWithSettings(const Settings& settings, ConversionState& state, const LinearImage& source,
                               PixelSurface& preview, const ProgressReport& progress = {},
                               std::stop_token stop = {});

// Whether a conversion with `settings` reads `source` (a method other than
// Classic, a fit other than Stretch or adjustments that are not neutral);
// when it does not, the sampled planes are all it reads.
bool readsSource(const Settings& settings);

// The picture framed and adjusted as `settings` ask, on a grid of `width` x
// 256: what the linear-light methods dither.
LinearImage preparedSource(const Settings& settings, const LinearImage& source, int width);

// The picture in linear light: the first picwidth × picheight pixels of the
// state's planes (320 × 256 when the state gives no size).
LinearImage planesLinear(const ConversionState& state);

// The engine's entry for mode 7: converts the state's planes (the mode,
// half-tone and Stagger settings are not read), paints the result on the
// 320 × 256 `preview` (see paintTeletext) and gives the 1000 bytes of screen
// memory from &7C00.
Conversion convertTeletext(const ConversionState& state, PixelSurface& preview);

