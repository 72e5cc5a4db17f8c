#pragma once

#include <QImage>
#include <QString>

// A colourful, photo-like scene: a sky gradient, a sun, hills and a row of
// saturated colour blocks, so every mode and half-tone has something to show.
QImage colourfulScene(int width, int height);

// One flat colour.
QImage plainPicture(int width, int height, QColor colour);

// Saves `picture` as PNG at `path`; returns the path.
QString savePng(const QImage& picture, const QString& path);
