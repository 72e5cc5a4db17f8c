#pragma once

#include "conversion/screen.h"
#include "platform/pixel_surface.h"

// A screen as the machine shows it: one RGB pixel per screen pixel (640,
// 320 or 160 by 256 lines in the bitmap modes; mode 7 as the teletext chip
// draws it, 640 by 500), and the size of each of those pixels on the
// display's 640 x 512 grid, where every mode fills the same area. Mode 0's
// pixels are 1 x 2 display pixels, mode 1's 2 x 2, mode 2's 4 x 2, mode 7's
// 1 x 1.
struct ScreenPicture {
    BufferSurface pixels{0, 0};
    int pixelWidth = 1;
    int pixelHeight = 1;

    int displayWidth() const { return pixels.width() * pixelWidth; }
    int displayHeight() const { return pixels.height() * pixelHeight; }
};

// `screen` at its real resolution. Bitmap pixels show their line's colour
// of their logical colour, fully on or off (or the 12-bit colour with
// VideoNuLA); pixels outside the painted area are logical colour 0, as in
// screen memory.
ScreenPicture screenPicture(const Screen& screen);
