#include "recipe/picture_recipe.h"

#include "conversion/entry/convert.h"
#include "picture/picture_loader.h"
#include "picture/picture_source.h"

#include <QImage>

#include <utility>

namespace {

// The resolution and text entries of the loaded canvas, which a preview
// keeps as the picture's own.
PngMetadata canvasMetadata(const QImage& canvas)
{
    PngMetadata metadata{canvas.dotsPerMeterX(), canvas.dotsPerMeterY(), {}};
    for (const QString& key : canvas.textKeys())
        metadata.texts.emplace_back(key.toStdString(), canvas.text(key).toStdString());
    return metadata;
}

}  // namespace

Result<ConvertedPicture> convertPictureFile(const QString& path, const Settings& settings,
                                            const ProgressReport& progress, std::stop_token stop)
{
    const PictureDetail detail = readsDetail(settings) ? PictureDetail::Display : PictureDetail::Screen;
    const Result<LoadedPicture> loaded = loadPicture(path, detail);
    if (!loaded)
        return Failure{path.toStdString(), loaded.failure().reason};
    Result<Conversion> converted = convert(settings, sourcePicture(loaded.value()), progress, std::move(stop));
    if (!converted && wasStopped(converted.failure()))
        return converted.failure();
    if (!converted)
        return Failure{path.toStdString(), converted.failure().message()};
    return ConvertedPicture{std::move(converted).value(), canvasMetadata(loaded.value().image)};
}
