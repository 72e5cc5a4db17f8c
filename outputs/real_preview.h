#pragma once

#include "conversion/conversion.h"
#include "platform/failure.h"

#include <cstdint>
#include <vector>

// The screen of `conversion` at its real resolution (see screenPicture) as
// a whole PNG file: what the window's "Save Preview As..." and
// rasterine-convert --real-preview write, byte for byte the same: its
// resolution is recorded as 96 dots an inch, whichever display or program
// it was made on. Fails only when memory runs out.
Result<std::vector<std::uint8_t>> realPreviewPng(const Conversion& conversion);
