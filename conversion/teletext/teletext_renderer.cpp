#include "conversion/teletext/teletext_renderer.h"

#include "conversion/colour_space.h"
#include "conversion/painter.h"
#include "conversion/teletext/teletext_glyphs.h"

#include <cassert>
#include <cmath>

namespace {

// The mix of foreground and background for a weight, in linear light.
LinearRgb mixed(std::uint8_t foreground, std::uint8_t background, int weight)
{
    const LinearRgb fg = physicalLinear(foreground), bg = physicalLinear(background);
    const float share = static_cast<float>(weight) / 3.0f;
    return LinearRgb{fg.r * share + bg.r * (1 - share), fg.g * share + bg.g * (1 - share),
                     fg.b * share + bg.b * (1 - share)};
}

std::uint8_t gammaEncoded(float linear)
{
    return static_cast<std::uint8_t>(std::pow(linear, 1.0 / 2.2) * 255.0);
}

// Calls paint(x, y, look, weight) for every pixel of the 640 × 500 picture.
template <typename Paint>
void forEachPixel(const TeletextScreen& screen, Paint paint)
{
    const TeletextLooks looks = cellLooks(screen);
    for (int y = 0; y < kTeletextHeight; ++y)
        for (int x = 0; x < kTeletextWidth; ++x) {
            const CellLook& look = looks[static_cast<std::size_t>((y / kCellLines) * kTeletextColumns + x / kCellPixels)];
            paint(x, y, look, glyphWeight(look.sixels, look.separated, x % kCellPixels, y % kCellLines));
        }
}

}  // namespace

TeletextLooks cellLooks(const TeletextScreen& screen)
{
    TeletextLooks looks;
    for (int row = 0; row < kTeletextRows; ++row) {
        ChipState state;
        for (int column = 0; column < kTeletextColumns; ++column)
            looks[static_cast<std::size_t>(row * kTeletextColumns + column)] = showCell(state, screen.at(column, row));
    }
    return looks;
}

Color teletextPixel(std::uint8_t foreground, std::uint8_t background, int weight)
{
    const LinearRgb colour = mixed(foreground, background, weight);
    return Color{gammaEncoded(colour.r), gammaEncoded(colour.g), gammaEncoded(colour.b)};
}

void drawTeletext(const TeletextScreen& screen, PixelSurface& frame)
{
    assert(frame.width() >= kTeletextWidth && frame.height() >= kTeletextHeight);
    forEachPixel(screen, [&](int x, int y, const CellLook& look, int weight) {
        frame.setPixel(x, y, teletextPixel(look.foreground, look.background, weight));
    });
}

LinearImage teletextLinear(const TeletextScreen& screen)
{
    LinearImage image(kTeletextWidth, kTeletextHeight);
    forEachPixel(screen, [&](int x, int y, const CellLook& look, int weight) {
        image.at(x, y) = mixed(look.foreground, look.background, weight);
    });
    return image;
}

void paintTeletext(const TeletextScreen& screen, PixelSurface& preview)
{
    assert(preview.width() == kTeletextWidth / 2 && preview.height() == 256);
    constexpr int top = (256 - kTeletextHeight / 2) / 2;
    for (int y = 0; y < preview.height(); ++y)
        for (int x = 0; x < preview.width(); ++x)
            preview.setPixel(x, y, physicalRgb(0));
    forEachPixel(screen, [&](int x, int y, const CellLook& look, int weight) {
        if (x % 2 == 1 && y % 2 == 0)
            preview.setPixel(x / 2, top + y / 2, physicalRgb(weight >= 2 ? look.foreground : look.background));
    });
}
