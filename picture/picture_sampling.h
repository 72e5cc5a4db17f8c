#pragma once

#include "conversion/classic/conversion_state.h"

#include <QImage>

// Reads a 320 x 256 picture, rows from the top, into the red, green and blue
// planes (x 0..319, y 0..255; the spare column and row keep their zeros).
void samplePicture(const QImage& picture, ConversionState& state);
