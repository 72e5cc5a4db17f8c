#pragma once

#include "conversion/classic/conversion_state.h"

#include <cstdint>

// Fills the planes with a made-up photograph: smooth colour gradients, a few
// hard edges and a little grain, the same for the same seed. Benchmarks use it
// so that the work per pixel is that of a real picture, not of a flat one.
void fillPhotoPlanes(ConversionState& state, std::uint32_t seed);
