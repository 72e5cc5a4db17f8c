#pragma once

#include "conversion/settings.h"

#include <QString>

#include <optional>

// rasterine-convert --decode: a screen file turned back into a picture.
struct DecodeJob {
    QString screenFile;
    std::optional<int> mode;             // -m, when given; else the one mode the file fits
    std::optional<PaletteChoice> palette;  // --palette's physical colours; else the .nula beside it
    QString realPreviewFile;             // the picture, as --real-preview writes one
    bool verbose = false;
};

// Reads the screen (its .inf and .nula beside it) and writes its picture
// through the crash-safe writer. Returns the exit status: 0 when written, 1
// when the file is no screen, is a disc image, does not fit the mode, or
// the picture cannot be written; nothing is written then and the reason is
// on standard error.
int runDecode(const DecodeJob& job);
