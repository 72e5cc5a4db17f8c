#pragma once

#include "conversion/screen.h"
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

// The canvas painter: shows a screen on the 320 x 256 canvas. A bitmap
// pixel shows the physical colour of its logical colour in its line's
// palette (the 12-bit colour when that palette has NuLA colours). A
// 640-pixel line puts two screen pixels on each canvas column and the right
// one shows (it is painted last); a 160-pixel line gives each screen pixel
// two columns. Pixels outside the screen's painted area leave the canvas as
// it was. A teletext screen is drawn as paintTeletext draws it.
void paintScreen(const Screen& screen, PixelSurface& canvas);

// The screen painted on a black 320 x 256 canvas: the preview the window
// shows and `--preview` writes.
BufferSurface canvasPicture(const Screen& screen);
