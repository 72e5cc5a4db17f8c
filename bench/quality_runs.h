#pragma once

#include "conversion/linear_image.h"
#include "conversion/methods/picture_score.h"
#include "conversion/settings.h"

#include <QImage>
#include <QString>

#include <string>
#include <vector>

// One picture ready for scoring, named by its path: its 320 x 256 canvas
// (for the classic half-tones), its linear-light source and that source in
// display space.
struct QualityPicture {
    QString name;
    QImage canvas;
    LinearImage source;
    LinearImage display;
};

// Loads a picture as rasterine-convert does for the linear-light methods.
QualityPicture loadQualityPicture(const QString& path);

// One way of converting: a label and the settings it uses.
struct QualityRun {
    std::string label;
    Settings settings;
};

// Every method of every mode: each classic half-tone, each new method with
// the mode's own palette and, in modes with a choice, with the best palette,
// and each new method in VideoNuLA colours (labels "nula METHOD").
std::vector<QualityRun> qualityRuns(int mode);

// The screen image `settings` make of `picture`, and how long it took.
struct Converted {
    Screen image;
    double seconds;
};
Converted convertForQuality(const QualityPicture& picture, const Settings& settings);
