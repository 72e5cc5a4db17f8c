#pragma once

#include "conversion/conversion.h"
#include "conversion/methods/progress_report.h"
#include "conversion/settings.h"
#include "outputs/compression/zx02.h"
#include "outputs/screen_names.h"
#include "platform/failure.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One picture and the files it becomes.
struct PictureJob {
    QString picture;      // as named on the command line
    QString screenFile;   // with the files of its set (see screenFileSet); empty: none
    ScreenNames names;    // the BBC names its .inf files give (see screenNames)
    QString previewFile;  // empty when no preview PNG is wanted
    QString realPreviewFile;  // the screen at its real resolution as a PNG; empty: none
    bool nula = false;    // VideoNuLA colours: the screen file has a .nula file and its .inf beside it
    bool packedFile = false;  // also the screen's ZX02 stream, screenFile plus ".zx02", and its .inf
    bool packedForDisc = false;  // a compressed disc will hold the screen: its ZX02 stream is made with it
    Zx02Search search = Zx02Search::Quick;  // how that stream is searched for
};

// What became of one picture. A picture has failed when `status` holds a
// failure: its subject is the picture as named, its reason why nothing (or
// not everything) was written.
struct PictureOutcome {
    Status status = Done{};
    QStringList written;  // files written, in the order they were written
    QStringList removed;  // files of an earlier screen's set removed (see screenFileSet)
    std::optional<Conversion> conversion;  // once converted, even if a write failed
    QString palette;      // the BASIC setting a palette other than the mode's own, or the NuLA colours
    std::vector<std::uint8_t> stream;  // the screen's ZX02 stream, when a .zx02 file or a disc wants it

    bool ok() const { return status.ok(); }
};

// Loads, samples and converts one picture exactly as the window does, then
// writes the screen file's set (removing the members it does not make), the
// preview PNG and the real-resolution PNG, each if asked for. Every file is
// replaced whole or not at all; running out of memory fails the picture
// (see outOfMemory) and nothing else. Safe to run on several threads
// at once: each call has a conversion state of its own. `progress` hears how
// far a long conversion (direct binary search) has got.
PictureOutcome convertPicture(const PictureJob& job, const Settings& settings, const ProgressReport& progress = {});
