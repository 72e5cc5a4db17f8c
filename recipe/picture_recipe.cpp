#include "recipe/picture_recipe.h"

#include "conversion/entry/convert.h"
#include "picture/picture_loader.h"
#include "picture/picture_source.h"

#include <QImage>

#include <new>
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

Result<ConvertedPicture> loadAndConvert(const QString& path, const Settings& settings, const ProgressReport& progress,
                                        std::stop_token stop)
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
    return ConvertedPicture{std::move(converted).value(), canvasMetadata(loaded.value().image), {}};
}

// The picture converted and, with `packing`, its screen packed; the loaded
// picture is let go before the packing starts.
Result<ConvertedPicture> convertAndPack(const QString& path, const Settings& settings,
                                        std::optional<Zx02Search> packing, const ProgressReport& progress,
                                        std::stop_token stop)
{
    Result<ConvertedPicture> picture = loadAndConvert(path, settings, progress, std::move(stop));
    if (!picture || !packing)
        return picture;
    // An empty screen has no stream to make.
    if (const std::vector<std::uint8_t> bytes = picture.value().conversion.bytes(); !bytes.empty())
        picture.value().stream = zx02Compress(bytes, *packing);
    return picture;
}

}  // namespace

Result<ConvertedPicture> convertPictureFile(const QString& path, const Settings& settings,
                                            std::optional<Zx02Search> packing, const ProgressReport& progress,
                                            std::stop_token stop)
{
    // A picture too large for the memory left fails alone: the others of a
    // batch or a slideshow are still converted, and the program goes on.
    try {
        return convertAndPack(path, settings, packing, progress, std::move(stop));
    } catch (const std::bad_alloc&) {
        return outOfMemory(path);
    }
}

Failure outOfMemory(const QString& picture)
{
    return Failure{picture.toStdString(), "not enough memory to convert it"};
}
