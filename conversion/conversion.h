#pragma once

#include "conversion/screen_image.h"
#include "platform/pixel_surface.h"

#include <cstdint>
#include <vector>

// A converted screen with everything made from it: the screen memory bytes
// and where they belong, and the preview as the window shows it (320 x 256).
// Bitmap modes also keep their screen image, with the palette it is shown
// in; mode 7's screen is its bytes, and its image has no record.
struct Conversion {
    ScreenImage image;
    std::vector<std::uint8_t> bytes;
    int mode = 0;
    std::uint32_t screenStart = 0;
    BufferSurface preview;
};
