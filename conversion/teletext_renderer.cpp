#include "conversion/teletext_renderer.h"

#include "conversion/colour_space.h"
#include "conversion/painter.h"
#include "conversion/teletext_glyphs.h"

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

// Calls paint(x, y, look, weight) for every `step`-th pixel of every
// `step`-th line of the 640 × 500 picture, from pixel `first` of line 0.
template <typename Paint>
void forEachPixel(const TeletextScreen& screen, Paint paint, int step = 1, int first = 0)
{
    const TeletextLooks looks = cellLooks(screen);
    for (int y = 0; y < kTeletextHeight; y += step)
        for (int x = first; x < kTeletextWidth; x += step) {
            const CellLook& look = looks[static_cast<std::size_t>((y / kCellLines) * kTeletextColumns + x / kCellPixels)];
            paint(x, y, look, glyphWeight(look.sixels, look.separated, x % kCellPixels, y % kCellLines));
        }
}

// teletextPixel for every foreground, background and weight, as 0xFFRRGGBB.
using PixelTable = std::array<std::uint32_t, 8 * 8 * 4>;

PixelTable pixelTable()
{
    PixelTable table{};
    for (int fg = 0; fg < 8; ++fg)
        for (int bg = 0; bg < 8; ++bg)
            for (int weight = 0; weight < 4; ++weight)
                table[static_cast<std::size_t>((fg * 8 + bg) * 4 + weight)] =
                    toRgb32(teletextPixel(static_cast<std::uint8_t>(fg), static_cast<std::uint8_t>(bg), weight));
    return table;
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
    static const PixelTable colours = pixelTable();
    forEachPixel(screen, [&](int x, int y, const CellLook& look, int weight) {
        frame.scanLine(y)[x] = colours[static_cast<std::size_t>((look.foreground * 8 + look.background) * 4 + weight)];
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
        preview.setPixel(x / 2, top + y / 2, physicalRgb(weight >= 2 ? look.foreground : look.background));
    }, 2, 1);
}
