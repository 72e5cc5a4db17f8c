#pragma once

#include "conversion/screen.h"

#include <QString>

#include <optional>

class QWidget;

// A BBC Micro screen read back from a file: the document the Edit window
// edits and saves.
struct OpenedScreen {
    Screen screen;
    // What the title shows: the file's name, or the disc's and its file's.
    QString name;
    // The screen file Save writes again; empty when the screen came from
    // somewhere Save cannot write back to (a file inside a disc image), so
    // that Save asks where, as Save As does.
    QString path;
};

// Reads the screen in `path`: a screen file (with the .inf, .nula and
// .raster beside it), a raw screen dump, or a disc image, asking the user
// what the file cannot say (which of a disc's files, which mode, which
// colours). Nothing when the user cancels, or when the file is no screen,
// after telling the user why.
std::optional<OpenedScreen> openScreen(QWidget* parent, const QString& path);

// Whether `path` names a screen or a disc image rather than a picture, by
// its name and length: how `rasterine FILE` tells which it was given.
bool looksLikeScreen(const QString& path);
