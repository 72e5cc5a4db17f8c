#pragma once

#include "conversion/classic/conversion_state.h"
#include "conversion/settings.h"

// The settings every conversion the window runs is made with: the mode,
// half-tone and "Stagger" stored in `state` by the original controls, and
// the method, palette, fit, bars, adjustments and damping of `options`.
// Options the conversion does not read (greyed out in the window) are at
// their defaults.
Settings conversionSettings(const ConversionState& state, const Settings& options);
