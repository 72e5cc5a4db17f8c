#pragma once

#include "conversion/classic/conversion_state.h"
#include "conversion/screen.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Why a state cannot be converted (a mode without a record, planes larger
// than the arrays), or nothing if it can.
// The window and the command line only ever make convertible states, so a
// problem here is a programming mistake.
std::optional<std::string> conversionProblem(const ConversionState& state);

// The conversion pass, the ordered method: maps every screen pixel of
// `curmode` to its source column, adds the half-tone offset (shifted for
// green and blue with "Stagger") and matches the result to a logical colour.
// Reads the state, changes none of it. Needs InitVars and InitMat to have
// run, and a mode with a record.
Screen WriteImage(const ConversionState& state);

// One whole classic conversion: InitVars, InitMat and the pass. The state
// must be convertible (conversionProblem() empty); anything else stops the
// program.
Screen convertScreen(ConversionState& state);
