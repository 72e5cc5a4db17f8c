#pragma once

#include "conversion/classic/conversion_state.h"
#include "conversion/conversion.h"
#include "conversion/linear_image.h"
#include "conversion/methods/progress_report.h"
#include "conversion/option_catalogue.h"
#include "conversion/settings.h"
#include "outputs/boot_discs.h"
#include "platform/pixel_surface.h"

#include <array>
#include <span>
#include <stop_token>
#include <vector>

// The engine's stages called one at a time on a state whose planes a test
// filled, each conversion also painted on `preview` as the window's canvas
// shows it. The front ends call convert() instead; these let tests and
// measurements reach a stage directly.

// The classic pass on the state as it is (InitVars and InitMat must have run).
Conversion convertPlanes(const ConversionState& state, PixelSurface& preview);

// InitVars, InitMat and the classic pass.
Conversion convertScreen(ConversionState& state, PixelSurface& preview);

// Mode 7 from the state's planes.
Conversion convertTeletext(const ConversionState& state, PixelSurface& preview);

// A screen made already, as a conversion with the state's settings, painted.
Conversion finishConversion(Screen screen, PixelSurface& preview);

// The conversion convert() makes with `settings` of a canvas holding the
// state's planes and of `source`; the settings' mode, half-tone and Stagger
// are also stored into the state.
Conversion convertWithSettings(const Settings& settings, ConversionState& state, const LinearImage& source,
                               PixelSurface& preview, const ProgressReport& progress = {},
                               std::stop_token stop = {});

// Every method, in the catalogue's order (the window's Method list).
inline constexpr auto kAllMethods = [] {
    std::array<Method, kMethodRows.size()> methods{};
    for (std::size_t i = 0; i < methods.size(); ++i)
        methods[i] = kMethodRows[i].method;
    return methods;
}();

// The single-sided, uncompressed slideshow discs makeDiscSet makes of
// `slides`, each with its bytes and the pictures on it.
Result<std::vector<DiscImage>> slideshowDiscs(std::span<const Slide> slides, int tracks, int delaySeconds);
