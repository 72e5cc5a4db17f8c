#pragma once

#include "conversion/conversion_state.h"
#include "toolkit/file_output.h"
#include "toolkit/pixel_surface.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Screen memory for one mode, in the order the BBC Micro's display reads it.
struct ScreenImage {
    int mode = 0;
    std::vector<std::uint8_t> bytes;
};

// Why a state cannot be converted (a mode without a palette, planes larger
// than the arrays, a preview smaller than the planes), or nothing if it can.
std::optional<std::string> conversionProblem(const ConversionState& state,
                                             const PixelSurface& preview);

// The conversion pass: maps every screen pixel of `curmode` to its source
// column, adds the half-tone offset (shifted for green and blue with
// "Stagger"), matches the result to a logical colour, paints that colour into
// the preview and packs the screen bytes. Reads the state, changes none of it.
// Needs InitVars and InitMat to have run, and conversionProblem() to be empty.
ScreenImage convertPlanes(const ConversionState& state, PixelSurface& preview);

// Runs the pass and writes `screenFile` and its .inf side file. The preview is
// painted even when writing fails; the earlier files are then left as they were.
[[nodiscard]] std::optional<FileError> WriteImage(const ConversionState& state,
                                                  PixelSurface& preview,
                                                  const std::string& screenFile);

// One whole conversion as the Convert button runs it: InitVars, InitMat, then
// WriteImage into `screenFile` ("$.screen" in the current folder by default).
[[nodiscard]] std::optional<FileError> convertAndWrite(ConversionState& state,
                                                       PixelSurface& preview,
                                                       const std::string& screenFile);
