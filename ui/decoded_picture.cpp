#include "ui/decoded_picture.h"

#include "picture/picture_linear.h"
#include "picture/picture_loader.h"
#include "ui/busy_cursor.h"

#include <QBuffer>

Result<DecodedPicture> DecodedPicture::open(const QString& path)
{
    Result<LoadedPicture> loaded = loadPicture(path, PictureDetail::ScreenAndDisplay);
    if (!loaded)
        return loaded.failure();
    DecodedPicture picture;
    picture.path_ = path;
    picture.canvas_ = std::move(loaded.value().image);
    picture.detailed_ = std::move(loaded.value().source);
    picture.encoded_ = std::move(loaded.value().encoded);
    return picture;
}

Result<QImage> DecodedPicture::source() const
{
    if (!detailed_.isNull())
        return detailed_;
    BusyCursor busy;
    QByteArray bytes = encoded_;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const Result<LoadedPicture> finer = loadPicture(buffer, PictureDetail::Display);
    if (!finer)
        return Failure{path_.toStdString(), finer.failure().reason};
    detailed_ = finer.value().source;
    return detailed_;
}

Result<std::shared_ptr<const LinearImage>> DecodedPicture::linearSource() const
{
    if (linear_)
        return linear_;
    const Result<QImage> detailed = source();
    if (!detailed)
        return detailed.failure();
    linear_ = std::make_shared<const LinearImage>(linearPicture(detailed.value()));
    return linear_;
}
