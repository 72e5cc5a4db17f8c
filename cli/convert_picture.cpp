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
#include <new>

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

Status writePng(const Result<std::vector<std::uint8_t>>& png, const QString& path,
                                const QString& picture, PictureOutcome& outcome)
{
    if (!png)
        return writeFailure(picture, Failure{systemName(path), png.failure().reason});
    const std::array<FileContent, 1> file{{{systemName(path), png.value()}}};
    if (const Status written = replaceFiles(file); !written)
        return writeFailure(picture, written.failure());
    outcome.written << path;
    return Done{};
}

Status writeScreenSet(const PictureJob& job, const Conversion& conversion, PictureOutcome& outcome)
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
    return Done{};
}

// Each output asked for, in turn; the first that cannot be written ends it.
// The PNGs are encoded in memory first so that each, too, is put in place by
// one rename: a failed write never leaves half a picture behind.
Status writeOutputs(const PictureJob& job, const Conversion& conversion, const PngMetadata& metadata,
                    PictureOutcome& outcome)
{
    if (!job.screenFile.isEmpty())
        if (Status written = writeScreenSet(job, conversion, outcome); !written)
            return written;
    if (!job.previewFile.isEmpty())
        if (Status written = writePng(pngBytes(canvasPicture(conversion.screen), metadata), job.previewFile,
                                      job.picture, outcome);
            !written)
            return written;
    if (!job.realPreviewFile.isEmpty())
        return writePng(realPreviewPng(conversion), job.realPreviewFile, job.picture, outcome);
    return Done{};
}

// The BASIC that sets the screen's palette when it is not the mode's own,
// or the VideoNuLA colours; empty when there is nothing to set.
QString paletteText(const Conversion& conversion)
{
    if (conversion.screen.hasNula())
        return QString::fromStdString(nulaSetupStatements(conversion.screen));
    if (conversion.screen.mode != nullptr)
        return QString::fromStdString(paletteStatement(conversion.screen.palette().physical, *conversion.screen.mode));
    return {};
}

// Writes the outputs of a converted picture and notes its palette. Memory
// can run out here too, with other pictures of a batch converting beside
// it: that fails this picture alone, as running out while converting does.
void finishOutcome(const PictureJob& job, const PngMetadata& metadata, PictureOutcome& outcome)
{
    try {
        outcome.palette = paletteText(*outcome.conversion);
        outcome.status = writeOutputs(job, *outcome.conversion, metadata, outcome);
    } catch (const std::bad_alloc&) {
        outcome.status = outOfMemory(job.picture);
    }
}

// The ZX02 stream a job wants made with its conversion, if any.
std::optional<Zx02Search> packingFor(const PictureJob& job)
{
    if (job.packedFile || job.packedForDisc)
        return job.search;
    return std::nullopt;
}

}  // namespace

PictureOutcome convertPicture(const PictureJob& job, const Settings& settings, const ProgressReport& progress)
{
    // The stream is made here, on the thread that converted the picture,
    // for its .zx02 file and its disc alike.
    Result<ConvertedPicture> converted = convertPictureFile(job.picture, settings, packingFor(job), progress);
    if (!converted.ok())
        return {converted.failure(), {}, {}, {}, {}, {}};
    ConvertedPicture& picture = converted.value();
    PictureOutcome outcome{Done{}, {}, {}, std::move(picture.conversion), {}, std::move(picture.stream)};
    finishOutcome(job, picture.previewMetadata, outcome);
    return outcome;
}
