#pragma once

#include "conversion/conversion_state.h"
#include "conversion/settings.h"

// The settings every conversion the window runs is made with: the mode,
// half-tone and "Stagger" stored in `state` by the original controls, and
// the method, palette, fit, bars, adjustments and damping of `options`. A
// palette choice the conversion cannot use (with the classic half-tone, or
// one that does not suit the mode) gives way to the mode's own palette; in
// mode 7, which chooses its own colours, the method is the classic one.
// VideoNuLA colours are asked for only with a method other than classic,
// and then choose the palette themselves.
Settings conversionSettings(const ConversionState& state, const Settings& options);
