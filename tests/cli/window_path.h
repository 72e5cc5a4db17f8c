#pragma once

#include "conversion/classic/conversion_state.h"

#include <QImage>
#include <QString>

#include <string>

// Converts `picture` in this process the way the window does it: load, draw
// into the 320 x 256 source canvas, sample, copy the canvas into the preview,
// then convert and write `screenFile` and its .inf. Returns the preview.
QImage convertAsTheWindowDoes(const QString& picture, int mode, Halftone halftone, bool stagger,
                              const std::string& screenFile);

