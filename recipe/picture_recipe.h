#pragma once

#include "conversion/conversion.h"
#include "conversion/methods/progress_report.h"
#include "conversion/settings.h"
#include "outputs/compression/zx02.h"
#include "outputs/png_file.h"
#include "platform/failure.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <stop_token>
#include <vector>

// One picture file converted: what the engine made of it.
struct ConvertedPicture {
    Conversion conversion;
    PngMetadata previewMetadata;  // the resolution and texts a preview keeps of the picture's file
    std::vector<std::uint8_t> stream;  // the screen's ZX02 stream, when packing was asked for
};

// Loads the picture at `path` (with its detail when `settings` read it) and
// converts it, then packs its screen into a ZX02 stream with `packing`, if
// given: the one recipe for a picture file, run by the command line for
// each picture and by the window for each picture of a slideshow. A picture
// that cannot be read, or is damaged, fails with the path as subject and the
// loader's reason; one too large for the memory left fails as
// outOfMemory(path); a stop requested before the end fails as convert() does.
// Safe to run on several threads at once.
Result<ConvertedPicture> convertPictureFile(const QString& path, const Settings& settings,
                                            std::optional<Zx02Search> packing = std::nullopt,
                                            const ProgressReport& progress = {}, std::stop_token stop = {});

// The failure of a picture whose work needed more memory than was left.
Failure outOfMemory(const QString& picture);
