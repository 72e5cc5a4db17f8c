#include "outputs/png_file.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <algorithm>

namespace {

Failure outOfMemory()
{
    return Failure{"PNG", "not enough memory to make it"};
}

}  // namespace

Result<std::vector<std::uint8_t>> pngBytes(const PixelSurface& picture, const PngMetadata& metadata)
{
    QImage image(picture.width(), picture.height(), QImage::Format_RGB32);
    if (image.isNull() && picture.width() > 0 && picture.height() > 0)
        return outOfMemory();
    for (int y = 0; y < picture.height(); ++y)
        std::copy_n(picture.scanLine(y), picture.width(), reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    if (metadata.dotsPerMetreX > 0)
        image.setDotsPerMeterX(metadata.dotsPerMetreX);
    if (metadata.dotsPerMetreY > 0)
        image.setDotsPerMeterY(metadata.dotsPerMetreY);
    for (const auto& [key, value] : metadata.texts)
        image.setText(QString::fromStdString(key), QString::fromStdString(value));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // Writing into memory fails only when memory runs out.
    if (QImageWriter writer(&buffer, "png"); !writer.write(image))
        return outOfMemory();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(png.constData());
    return std::vector<std::uint8_t>(bytes, bytes + png.size());
}
