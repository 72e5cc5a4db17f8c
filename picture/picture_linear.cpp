#include "picture/picture_linear.h"

#include "conversion/colour_space.h"

LinearImage linearPicture(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    LinearImage image(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            image.at(x, y) = toLinear(fromRgb32(line[x]));
    }
    return image;
}
