#include "ui/decoded_picture.h"

#include "picture/picture_linear.h"
#include "picture/picture_loader.h"

Result<DecodedPicture> DecodedPicture::open(const QString& path)
{
    Result<LoadedPicture> loaded = loadPicture(path, PictureDetail::ScreenAndDisplay);
    if (!loaded)
        return loaded.failure();
    DecodedPicture picture;
    picture.path_ = path;
    picture.canvas_ = std::move(loaded.value().image);
    picture.detailed_ = std::move(loaded.value().source);
    picture.warning_ = std::move(loaded.value().warning);
    return picture;
}

std::shared_ptr<const LinearImage> DecodedPicture::linearSource() const
{
    if (!linear_)
        linear_ = std::make_shared<const LinearImage>(linearPicture(detailed_));
    return linear_;
}
