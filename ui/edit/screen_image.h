#pragma once

#include "conversion/screen.h"

#include <QImage>
#include <QRect>

// The Edit window's copy of a screen as the machine shows it, one image
// pixel per screen pixel (as screenPicture draws it), kept up to date a
// changed area at a time so that drawing does not repaint the whole screen.

// The whole screen; mode 7 as the teletext chip draws it.
QImage screenImage(const Screen& screen);

// The pixels of `area` (screen pixels) of `image` drawn again from a bitmap
// `screen`, each in its line's palette.
void redrawScreenArea(QImage& image, const Screen& screen, const QRect& area);

// The colour logical colour `logical` shows on scan line `line`.
QRgb shownColour(const Screen& screen, int line, std::uint8_t logical);
