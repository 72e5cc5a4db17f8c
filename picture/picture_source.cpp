#include "picture/picture_source.h"

#include "picture/picture_linear.h"

#include <algorithm>
#include <cstring>

BufferSurface canvasPixels(const QImage& canvas)
{
    const QImage rgb = canvas.convertToFormat(QImage::Format_RGB32);
    BufferSurface pixels(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        std::copy(line, line + rgb.width(), pixels.scanLine(y));
    }
    return pixels;
}

QImage surfaceImage(const BufferSurface& surface)
{
    QImage image(surface.width(), surface.height(), QImage::Format_RGB32);
    for (int y = 0; y < surface.height(); ++y)
        std::memcpy(image.scanLine(y), surface.scanLine(y), static_cast<std::size_t>(surface.width()) * 4);
    return image;
}

SourcePicture sourcePicture(const LoadedPicture& picture)
{
    SourcePicture source{canvasPixels(picture.image), nullptr};
    if (!picture.source.isNull())
        source.detail = std::make_shared<const LinearImage>(linearPicture(picture.source));
    return source;
}
