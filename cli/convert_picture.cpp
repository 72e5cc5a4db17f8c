#include "cli/convert_picture.h"

#include "conversion/methods/palette_search.h"
#include "conversion/painter.h"
#include "outputs/compression/zx02.h"
#include "outputs/png_file.h"
#include "outputs/nula_setup.h"
#include "outputs/screen_files.h"
#include "outputs/real_preview.h"
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

std::optional<Failure> writePng(const Result<std::vector<std::uint8_t>>& png, const QString& path,
                                const QString& picture, PictureOutcome& outcome)
{
    if (!png)
        return writeFailure(picture, Failure{systemName(path), png.failure().reason});
    const std::array<FileContent, 1> file{{{systemName(path), png.value()}}};
    if (const Status written = replaceFiles(file); !written)
        return writeFailure(picture, written.failure());
    outcome.written << path;
    return std::nullopt;
}

std::optional<Failure> writeScreenSet(const PictureJob& job, const Conversion& conversion, PictureOutcome& outcome)
{
    const std::span<const std::uint8_t> packed =
        job.packedFile ? std::span<const std::uint8_t>(outcome.stream) : std::span<const std::uint8_t>();
    const auto replaced = replaceFiles(screenFileSet(systemName(job.screenFile), job.names, conversion, packed));
    if (!replaced)
        return writeFailure(job.picture, replaced.failure());
    for (const std::string& file : replaced.value().written)
        outcome.written << QFile::decodeName(file.c_str());
    for (const std::string& file : replaced.value().removed)
        outcome.removed << QFile::decodeName(file.c_str());
    return std::nullopt;
}

// Each output asked for, in turn; the first that cannot be written ends it.
// The PNGs are encoded in memory first so that each, too, is put in place by
// one rename: a failed write never leaves half a picture behind.
std::optional<Failure> writeOutputs(const PictureJob& job, const Conversion& conversion, const PngMetadata& metadata,
                                    PictureOutcome& outcome)
{
    if (!job.screenFile.isEmpty())
        if (auto failure = writeScreenSet(job, conversion, outcome))
            return failure;
    if (!job.previewFile.isEmpty())
        if (auto failure = writePng(pngBytes(canvasPicture(conversion.screen), metadata), job.previewFile, job.picture, outcome))
            return failure;
    if (!job.realPreviewFile.isEmpty())
        return writePng(realPreviewPng(conversion), job.realPreviewFile, job.picture, outcome);
    return std::nullopt;
}

}  // namespace

PictureOutcome convertPicture(const PictureJob& job, const Settings& settings, const ProgressReport& progress)
{
    Result<ConvertedPicture> converted = convertPictureFile(job.picture, settings, progress);
    if (!converted.ok())
        return {converted.failure(), {}, {}, {}, {}, {}};
    const PngMetadata metadata = converted.value().previewMetadata;
    PictureOutcome outcome{{}, {}, {}, std::move(converted.value().conversion), {}, {}};
    const Conversion& conversion = *outcome.conversion;
    if (conversion.screen.hasNula())
        outcome.palette = QString::fromStdString(nulaSetupStatements(conversion.screen));
    else if (conversion.screen.mode != nullptr)
        outcome.palette = QString::fromStdString(paletteStatement(conversion.screen.palette().physical, *conversion.screen.mode));
    // Made once, here, on the thread that converted the picture, for its
    // .zx02 file and its disc alike.
    if (job.packedFile || job.packedForDisc)
        outcome.stream = zx02Compress(conversion.bytes(), job.search);
    outcome.failure = writeOutputs(job, conversion, metadata, outcome);
    return outcome;
}
