#include "cli/convert_picture.h"

#include "conversion/conversion_pass.h"
#include "conversion/methods/palette_search.h"
#include "conversion/methods/picture_conversion.h"
#include "outputs/screen_files.h"
#include "platform/file_output.h"
#include "picture/picture_linear.h"
#include "picture/picture_loader.h"
#include "picture/picture_sampling.h"
#include "picture/qimage_surface.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>

#include <array>
#include <memory>

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
PictureOutcome writePreview(const QImage& preview, const QString& path, const QString& picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter encoder(&buffer, "png");
    if (!encoder.write(preview))
        return {{},
                Failure{picture.toStdString(),
                        QStringLiteral("cannot encode the preview: %1").arg(encoder.errorString()).toStdString()},
                {},
                {},
                {}};

    const std::array<FileContent, 1> file{{
        {systemName(path), {reinterpret_cast<const std::uint8_t*>(png.constData()),
                            static_cast<std::size_t>(png.size())}},
    }};
    if (const Status written = replaceFiles(file); !written)
        return {{}, writeFailure(picture, written.failure()), {}, {}, {}};
    return {{}, {}, {path}, {}, {}};
}

}  // namespace

PictureOutcome convertPicture(const PictureJob& job, const Settings& settings, const ProgressReport& progress)
{
    const bool detailed = readsSource(settings);
    const Result<LoadedPicture> loaded = loadPicture(job.picture, detailed ? PictureDetail::Display : PictureDetail::Screen);
    if (!loaded.ok())
        return {{}, Failure{job.picture.toStdString(), loaded.failure().reason}, {}, {}, {}};

    // About a megabyte of planes and tables: one per picture, on the heap.
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    applySettings(settings, *state);
    samplePicture(loaded.value().image, *state);

    // As in the window, the preview starts as the picture itself and the
    // conversion paints over it.
    QImage preview = loaded.value().image.copy();
    QImageSurface surface(preview);

    const LinearImage source = detailed ? linearPicture(loaded.value().source) : LinearImage();
    PictureOutcome outcome{loaded.value().warning, {}, {},
                           convertWithSettings(settings, *state, source, surface, progress), {}};
    const Conversion& conversion = *outcome.conversion;
    if (conversion.image.mode != nullptr)
        outcome.palette = QString::fromStdString(paletteStatement(conversion.image.palette, *conversion.image.mode));
    if (!job.screenFile.isEmpty()) {
        const Status written = writeScreenFiles(systemName(job.screenFile), conversion, job.packedFile);
        if (!written) {
            outcome.failure = writeFailure(job.picture, written.failure());
            return outcome;
        }
        outcome.written = {job.screenFile, QFile::decodeName(infFileName(systemName(job.screenFile)).c_str())};
        if (job.packedFile) {
            const std::string packed = packedFileName(systemName(job.screenFile));
            outcome.written << QFile::decodeName(packed.c_str()) << QFile::decodeName(infFileName(packed).c_str());
        }
    }

    if (!job.previewFile.isEmpty()) {
        const PictureOutcome previewOutcome = writePreview(preview, job.previewFile, job.picture);
        outcome.failure = previewOutcome.failure;
        outcome.written += previewOutcome.written;
    }
    return outcome;
}
