#include "ui/screen_image.h"

#include "conversion/screen_picture.h"

#include <algorithm>

QImage displayImage(const Screen& screen)
{
    const ScreenPicture picture = screenPicture(screen);
    QImage image(picture.pixels.width(), picture.pixels.height(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        std::copy_n(picture.pixels.scanLine(y), image.width(), reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    return image.scaled(picture.displayWidth(), picture.displayHeight());
}
