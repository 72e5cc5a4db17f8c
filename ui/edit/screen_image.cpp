#include "ui/edit/screen_image.h"

#include "conversion/painter.h"
#include "conversion/screen_picture.h"

#include <algorithm>
#include <array>

namespace {

QImage toImage(const ScreenPicture& picture)
{
    QImage image(picture.pixels.width(), picture.pixels.height(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        std::copy_n(picture.pixels.scanLine(y), image.width(), reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    return image;
}

// The colour each logical colour shows in `palette`.
// As screenPicture colours them: the 12-bit colour with VideoNuLA, else the
// physical colour.
std::array<QRgb, kNulaEntries> paletteColours(const LinePalette& palette)
{
    std::array<QRgb, kNulaEntries> colours{};
    for (std::size_t logical = 0; logical < colours.size(); ++logical)
        colours[logical] = palette.nula ? toRgb32(nulaRgb((*palette.nula)[logical]))
                                        : toRgb32(physicalRgb(palette.physical[logical & 7]));
    return colours;
}

}  // namespace

QImage screenImage(const Screen& screen)
{
    if (screen.isTeletext())
        return toImage(screenPicture(screen));
    QImage image(screen.width(), kScreenLines, QImage::Format_RGB32);
    redrawScreenArea(image, screen, image.rect());
    return image;
}

void redrawScreenArea(QImage& image, const Screen& screen, const QRect& area)
{
    const QRect drawn = area & image.rect();
    for (int y = drawn.top(); y <= drawn.bottom(); ++y) {
        const auto colours = paletteColours(screen.paletteAt(y));
        const std::uint8_t* pixels = screen.line(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = drawn.left(); x <= drawn.right(); ++x)
            out[x] = colours[pixels[x] & 15];
    }
}

QRgb shownColour(const Screen& screen, int line, std::uint8_t logical)
{
    return paletteColours(screen.paletteAt(line))[logical & 15];
}
