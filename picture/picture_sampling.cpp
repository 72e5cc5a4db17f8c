#include "picture/picture_sampling.h"

#include <QColor>

void samplePicture(const QImage& picture, ConversionState& state)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < kPictureHeight; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < kPictureWidth; ++x) {
            state.red(x, y) = qRed(line[x]);
            state.green(x, y) = qGreen(line[x]);
            state.blue(x, y) = qBlue(line[x]);
        }
    }
}
