#pragma once

#include "conversion/conversion.h"
#include "conversion/methods/progress_report.h"
#include "conversion/settings.h"
#include "outputs/png_file.h"
#include "platform/failure.h"

#include <QString>

#include <stop_token>

// One picture file converted: what the engine made of it.
struct ConvertedPicture {
    Conversion conversion;
    PngMetadata previewMetadata;  // the resolution and texts a preview keeps of the picture's file
};

// Loads the picture at `path` (with its detail when `settings` read it) and
// converts it: the one recipe for a picture file, run by the command line
// for each picture and by the window for each picture of a slideshow. A
// picture that cannot be read, or is damaged, fails with the path as subject
// and the loader's reason; a stop requested before the end fails as convert() does.
// Safe to run on several threads at once.
Result<ConvertedPicture> convertPictureFile(const QString& path, const Settings& settings,
                                            const ProgressReport& progress = {}, std::stop_token stop = {});
