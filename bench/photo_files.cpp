#include "photo_files.h"

#include <QDir>
#include <QImage>
#include <QImageWriter>

#include <cmath>
#include <cstdint>

namespace {

constexpr int kWidth = 5640;
constexpr int kHeight = 3172;

// Cheap repeatable noise for the grain: a hash of the pixel position.
int grain(std::uint32_t x, std::uint32_t y)
{
    std::uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0xC2B2AE3Du;
    h ^= h >> 13;
    return static_cast<int>(h % 41) - 20;
}

int component(double value, int noise)
{
    const int v = static_cast<int>(value) + noise;
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

QImage photo()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double fy = double(y) / kHeight;
        for (int x = 0; x < kWidth; ++x) {
            const double fx = double(x) / kWidth;
            const double hills = 0.55 + 0.1 * std::sin(fx * 9.0) + 0.05 * std::sin(fx * 31.0 + 1.0);
            const bool ground = fy > hills;
            const double texture = 40.0 * std::sin(fx * 210.0 + std::sin(fy * 60.0) * 3.0) *
                                   std::sin(fy * 170.0 + fx * 20.0);
            const double r = ground ? 90 + 60 * fx + texture : 120 + 80 * fy;
            const double g = ground ? 110 + texture * 0.8 : 160 + 60 * fy;
            const double b = ground ? 60 + 30 * fy + texture * 0.5 : 230 - 40 * fy;
            const int n = grain(std::uint32_t(x), std::uint32_t(y));
            line[x] = qRgb(component(r, n), component(g, n / 2), component(b, -n));
        }
    }
    return image;
}

}  // namespace

QString writeBigPhoto(const QString& folder, bool progressive)
{
    const QString path =
        QDir(folder).filePath(progressive ? QStringLiteral("big-progressive.jpg") : QStringLiteral("big.jpg"));
    QImageWriter writer(path, "jpeg");
    writer.setQuality(92);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(photo()))
        return QString();
    return path;
}
