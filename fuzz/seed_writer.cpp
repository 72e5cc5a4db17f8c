// Writes the seed corpora of both fuzz targets: one tiny picture of every
// format and variant Qt decodes (so the fuzzer starts inside each decoder),
// and a set of engine inputs covering every mode, half-tone and flag.
//   seed_writer <folder>   writes <folder>/picture and <folder>/engine
#include "../tests/picture_corpus/handmade_pictures.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

QImage sample(QImage::Format format)
{
    QImage image(16, 12, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 16, y * 20, (x * y) % 256, 64 + 12 * x));
    return image.convertToFormat(format);
}

std::vector<std::pair<QString, QByteArray>> pictureSeeds()
{
    const QImage rgb = sample(QImage::Format_RGB32);
    const QList<QRgb> palette{qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    std::vector<std::uint8_t> frame(16 * 12);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = std::uint8_t(i % 4);
    const std::vector<std::uint8_t> other(frame.rbegin(), frame.rend());
    return {
        {"rgb.png", encoded(rgb, "PNG")},
        {"alpha.png", encoded(sample(QImage::Format_ARGB32), "PNG")},
        {"grey.png", encoded(sample(QImage::Format_Grayscale8), "PNG")},
        {"deep.png", encoded(sample(QImage::Format_RGBA64), "PNG")},
        {"palette.png", encoded(rgb.convertToFormat(QImage::Format_Indexed8), "PNG")},
        {"interlaced.png", interlacedPng(rgb)},
        {"baseline.jpg", encoded(rgb, "JPEG", 80)},
        {"progressive.jpg", encoded(rgb, "JPEG", 80, true)},
        {"rotated.jpg", withExifOrientation(encoded(rgb, "JPEG", 80), 6)},
        {"cmyk.jpg", cmykJpeg(255, 40, 0, 200)},
        {"still.gif", gifFile({16, 12}, palette, {frame})},
        {"animated.gif", gifFile({16, 12}, palette, {frame, other})},
        {"rgb.bmp", encoded(rgb, "BMP")},
        {"indexed.bmp", encoded(rgb.convertToFormat(QImage::Format_Indexed8), "BMP")},
        {"rgb.ppm", encoded(rgb, "PPM")},
        {"grey.pgm", encoded(rgb, "PGM")},
        {"mono.pbm", encoded(rgb, "PBM")},
        {"rgb.tif", encoded(rgb, "TIFF")},
        {"rgb.webp", encoded(rgb, "WEBP", 80)},
        {"icon.ico", encoded(rgb, "ICO")},
        {"rgb.tga", tgaFile(rgb)},
        {"mono.xbm", encoded(rgb, "XBM")},
        {"rgb.xpm", encoded(rgb, "XPM")},
        {"shapes.svg", QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='16' height='12'>"
                                  "<rect width='8' height='12' fill='red'/>"
                                  "<circle cx='12' cy='6' r='3' fill='#00f'/></svg>")},
    };
}

std::vector<std::pair<QString, QByteArray>> engineSeeds()
{
    std::vector<std::pair<QString, QByteArray>> seeds;
    const QByteArray gradient = [] {
        QByteArray bytes;
        for (int i = 0; i < 3 * 97; ++i)
            bytes.append(char((i * 37) % 256));
        return bytes;
    }();
    for (int mode = 0; mode < 5; ++mode)
        for (int htone = 0; htone < 5; ++htone) {
            QByteArray header;
            header.append(char(mode)).append(char(htone)).append(char(htone % 2)).append('\0').append('\0');
            seeds.push_back({QStringLiteral("mode%1-htone%2").arg(mode).arg(htone), header + gradient});
        }
    seeds.push_back({"mode7", QByteArray("\x05\x00\x00\x00\x00", 5) + gradient});
    seeds.push_back({"mode7-small-picture", QByteArray("\x05\x02\x05\x07\x03", 5) + gradient});
    seeds.push_back({"no-mapping", QByteArray("\x00\x02\x02\x00\x00", 5) + gradient});
    seeds.push_back({"small-picture", QByteArray("\x02\x01\x05\x63\x31", 5) + gradient});
    seeds.push_back({"grey", QByteArray("\x03\x03\x01\x00\x00\x80\x80\x80", 8)});
    return seeds;
}

bool writeAll(const QString& folder, const std::vector<std::pair<QString, QByteArray>>& seeds)
{
    if (!QDir().mkpath(folder))
        return false;
    for (const auto& [name, bytes] : seeds) {
        QFile file(folder + '/' + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: seed_writer <folder>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    if (!writeAll(root + "/picture", pictureSeeds()) || !writeAll(root + "/engine", engineSeeds())) {
        std::fprintf(stderr, "seed_writer: cannot write the seeds under %s\n", argv[1]);
        return 1;
    }
    return 0;
}
