#pragma once

#include "platform/pixel_surface.h"

#include <cstdint>
#include <vector>

// The whole PNG file of `picture`: 8-bit RGB without alpha, each scan line
// filtered the way that leaves the smallest differences, deflated by zlib.
// The pixels decode exactly as they were; nothing else (no gamma, no
// resolution) is stored. Running out of memory throws std::bad_alloc.
std::vector<std::uint8_t> pngBytes(const PixelSurface& picture);
