#pragma once

#include "conversion/conversion.h"
#include "conversion/classic/conversion_state.h"
#include "conversion/screen_image.h"
#include "platform/pixel_surface.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Why a state cannot be converted (a mode without a record, planes larger
// than the arrays, a preview smaller than the planes), or nothing if it can.
// The window and the command line only ever make convertible states, so a
// problem here is a programming mistake.
std::optional<std::string> conversionProblem(const ConversionState& state,
                                             const PixelSurface& preview);

// The conversion pass, the ordered method: maps every screen pixel of
// `curmode` to its source column, adds the half-tone offset (shifted for
// green and blue with "Stagger") and matches the result to a logical colour.
// Reads the state, changes none of it. Needs InitVars and InitMat to have
// run, and a mode with a record.
ScreenImage WriteImage(const ConversionState& state);

// Packs `image` into screen memory and paints it into `preview`.
Conversion finishConversion(ScreenImage image, PixelSurface& preview);

// WriteImage, then finishConversion. Needs InitVars and InitMat to have run.
Conversion convertPlanes(const ConversionState& state, PixelSurface& preview);

// One whole conversion as the Convert button runs it: InitVars, InitMat,
// the pass, the packer and the painter. The state must be convertible
// (conversionProblem() empty); anything else stops the program.
Conversion convertScreen(ConversionState& state, PixelSurface& preview);
