#include "ui/sampled_source.h"

#include "conversion/teletext/teletext_conversion.h"
#include "picture/picture_linear.h"
#include "picture/picture_loader.h"
#include "ui/busy_cursor.h"

void SampledSource::resetTo(const QString& path)
{
    path_ = path;
    source_.reset();
}

Result<std::shared_ptr<const LinearImage>> SampledSource::get(const ConversionState& state)
{
    if (source_)
        return source_;
    if (path_.isEmpty())
        return std::shared_ptr<const LinearImage>(std::make_shared<LinearImage>(planesLinear(state)));
    BusyCursor busy;
    const Result<LoadedPicture> loaded = loadPicture(path_, PictureDetail::Display);
    if (!loaded.ok())
        return loaded.failure();
    source_ = std::make_shared<const LinearImage>(linearPicture(loaded.value().source));
    return source_;
}
