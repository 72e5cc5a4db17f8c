#pragma once

#include "conversion/screen_image.h"
#include "platform/color.h"
#include "platform/pixel_surface.h"

#include <cstdint>

// The preview colour of a physical colour 0..7 (red + 2 green + 4 blue):
// each component fully on or off.
constexpr Color physicalRgb(int physical)
{
    return RGB((physical & 1) ? 255 : 0, (physical & 2) ? 255 : 0, (physical & 4) ? 255 : 0);
}

// The preview colour of a VideoNuLA colour: each channel v as v * 17.
constexpr Color nulaRgb(NulaColour colour)
{
    return RGB(nulaComponent(colour.red), nulaComponent(colour.green), nulaComponent(colour.blue));
}

// The painter: shows a screen image on the 320 x 256 preview, each pixel in
// the physical colour of its logical colour (its 12-bit colour when the
// image has NuLA colours). A 640-pixel line puts two
// screen pixels on each preview column and the right one shows (it is
// painted last); a 160-pixel line gives each screen pixel two columns.
// Pixels outside the image's painted area leave the preview as it was.
void paintScreen(const ScreenImage& image, PixelSurface& preview);
