#include "cli/convert_picture.h"

#include "conversion/methods/palette_search.h"
#include "conversion/painter.h"
#include "outputs/compression/zx02.h"
#include "outputs/png_file.h"
#include "outputs/nula_files.h"
#include "outputs/nula_setup.h"
#include "outputs/screen_files.h"
#include "platform/file_output.h"
#include "recipe/picture_recipe.h"

#include <QFile>

#include <array>

namespace {

// File names go to the system as the bytes it uses for them, whatever the locale.
std::string systemName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// A write that failed, told as a failure of the picture it was for.
Failure writeFailure(const QString& picture, const Failure& failure)
{
    return Failure{picture.toStdString(), QStringLiteral("cannot write %1: %2")
                                              .arg(QFile::decodeName(failure.subject.c_str()),
                                                   QString::fromLocal8Bit(failure.reason.c_str()))
                                              .toStdString()};
}

// The PNG is encoded in memory first so that it, too, can be put in place by
// one rename: a failed write never leaves half a preview behind.
PictureOutcome writePreview(const PixelSurface& preview, const PngMetadata& metadata, const QString& path,
                            const QString& picture)
{
    const Result<std::vector<std::uint8_t>> png = pngBytes(preview, metadata);
    if (!png)
        return {{}, writeFailure(picture, Failure{systemName(path), png.failure().reason}), {}, {}, {}, {}};
    const std::array<FileContent, 1> file{{{systemName(path), png.value()}}};
    if (const Status written = replaceFiles(file); !written)
        return {writeFailure(picture, written.failure()), {}, {}, {}, {}};
    return {{}, {path}, {}, {}, {}};
}

}  // namespace

PictureOutcome convertPicture(const PictureJob& job, const Settings& settings, const ProgressReport& progress)
{
    Result<ConvertedPicture> converted = convertPictureFile(job.picture, settings, progress);
    if (!converted.ok())
        return {converted.failure(), {}, {}, {}, {}};
    const PngMetadata metadata = converted.value().previewMetadata;
    PictureOutcome outcome{{}, {}, std::move(converted.value().conversion), {}, {}};
    const Conversion& conversion = *outcome.conversion;
    if (conversion.screen.hasNula())
        outcome.palette = QString::fromStdString(nulaSetupStatements(conversion.screen));
    else if (conversion.screen.mode != nullptr)
        outcome.palette = QString::fromStdString(paletteStatement(conversion.screen.palette().physical, *conversion.screen.mode));
    // Made once, here, on the thread that converted the picture, for its
    // .zx02 file and its disc alike.
    if (job.packedFile || job.packedForDisc)
        outcome.stream = zx02Compress(conversion.bytes(), job.search);
    if (!job.screenFile.isEmpty()) {
        const std::span<const std::uint8_t> packed =
            job.packedFile ? std::span<const std::uint8_t>(outcome.stream) : std::span<const std::uint8_t>();
        const Status written = writeScreenFiles(systemName(job.screenFile), conversion, packed);
        if (!written) {
            outcome.failure = writeFailure(job.picture, written.failure());
            return outcome;
        }
        outcome.written = {job.screenFile, QFile::decodeName(infFileName(systemName(job.screenFile)).c_str())};
        if (conversion.screen.hasNula()) {
            const std::string nulaFile = nulaFileName(systemName(job.screenFile));
            outcome.written << QFile::decodeName(nulaFile.c_str()) << QFile::decodeName(infFileName(nulaFile).c_str());
        }
        if (job.packedFile) {
            const std::string packed = packedFileName(systemName(job.screenFile));
            outcome.written << QFile::decodeName(packed.c_str()) << QFile::decodeName(infFileName(packed).c_str());
        }
    }

    if (!job.previewFile.isEmpty()) {
        const PictureOutcome previewOutcome = writePreview(canvasPicture(conversion.screen), metadata, job.previewFile, job.picture);
        outcome.failure = previewOutcome.failure;
        outcome.written += previewOutcome.written;
    }
    return outcome;
}
