#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

// A catalogue of hostile and odd inputs, each with the outcome Rasterine must
// reach for it. The picture-path test runs every case through loadPicture and
// the conversion; the command line and the window run the same cases, so all
// three edges agree on what each input gives.
enum class Outcome {
    Converts,  // a 320 x 256 picture
    Refused,   // no picture, and a reason
};

struct PictureCase {
    std::string name;  // letters, digits and underscores, usable as a test name
    QString fileName;  // the name the input is written under
    Outcome outcome;
    // Words the reason (Refused) must hold.
    QString reasonContains;
    // Writes the input at `path`: a file, a folder, or nothing at all.
    std::function<void(const QString& path)> make;
    // For pictures: what is wrong with the 320 x 256 canvas, or empty if it
    // shows what the input holds (colours, orientation, stretch).
    std::function<QString(const QImage& canvas)> checkCanvas;
};

// Cheap to call: inputs are only built when a case's `make` runs.
std::vector<PictureCase> hostilePictureCases();

// Names a case in test output.
inline void PrintTo(const PictureCase& input, std::ostream* out)
{
    *out << input.name;
}
