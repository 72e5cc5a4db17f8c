// Draws a comparison sheet: for each picture named, one row of the source and
// its mode 1 conversions (a classic half-tone, the new methods, and direct
// binary search with the best palette), each 320 x 256 as the preview shows
// it, labelled. Usage: quality_sheet OUT.png PICTURE...
#include "quality_runs.h"

#include "conversion/painter.h"
#include "picture/qimage_surface.h"

#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

namespace {

struct Column {
    const char* label;
    Method method;
    PaletteChoice::Kind palette;
};

constexpr Column kColumns[] = {
    {"classic, Fine", Method::Classic, PaletteChoice::Kind::Default},
    {"floyd-steinberg", Method::FloydSteinberg, PaletteChoice::Kind::Default},
    {"atkinson", Method::Atkinson, PaletteChoice::Kind::Default},
    {"bayer", Method::Bayer, PaletteChoice::Kind::Default},
    {"blue-noise", Method::BlueNoise, PaletteChoice::Kind::Default},
    {"dbs", Method::Dbs, PaletteChoice::Kind::Default},
    {"dbs, best palette", Method::Dbs, PaletteChoice::Kind::Best},
};

constexpr int kTileWidth = 320, kTileHeight = 256, kLabel = 22;

QImage tile(const QualityPicture& picture, const Column& column)
{
    Settings settings;
    settings.mode = 1;
    settings.halftone = Halftone::Fine;
    settings.method = column.method;
    settings.palette.kind = column.palette;
    QImage preview(kTileWidth, kTileHeight, QImage::Format_RGB32);
    QImageSurface surface(preview);
    paintScreen(convertForQuality(picture, settings).image, surface);
    return preview;
}

void label(QPainter& painter, int x, int y, const QString& text)
{
    painter.fillRect(x, y, kTileWidth, kLabel, Qt::white);
    painter.setPen(Qt::black);
    painter.drawText(QRect(x, y, kTileWidth, kLabel), Qt::AlignCenter, text);
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: quality_sheet OUT.png PICTURE...\n");
        return 2;
    }
    const int columns = 1 + static_cast<int>(std::size(kColumns)), rows = argc - 2;
    QImage sheet(columns * kTileWidth, rows * (kTileHeight + kLabel), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    for (int row = 0; row < rows; ++row) {
        const QualityPicture picture = loadQualityPicture(QString::fromLocal8Bit(argv[row + 2]));
        const int y = row * (kTileHeight + kLabel);
        label(painter, 0, y, QStringLiteral("source"));
        painter.drawImage(0, y + kLabel, picture.canvas);
        for (int c = 0; c < columns - 1; ++c) {
            label(painter, (c + 1) * kTileWidth, y, QStringLiteral("mode 1, %1").arg(QLatin1String(kColumns[c].label)));
            painter.drawImage((c + 1) * kTileWidth, y + kLabel, tile(picture, kColumns[c]));
        }
    }
    painter.end();
    return sheet.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
