#include "conversion/painter.h"

#include "conversion/teletext_renderer.h"

#include <algorithm>
#include <array>

namespace {

using LineColours = std::array<std::uint32_t, 256>;

// The canvas colour of every logical colour in `palette`.
LineColours lineColours(const LinePalette& palette)
{
    LineColours rgb{};
    for (std::size_t colour = 0; colour < palette.physical.size(); ++colour)
        rgb[colour] = toRgb32(physicalRgb(palette.physical[colour]));
    if (palette.nula)
        for (std::size_t colour = 0; colour < palette.nula->size(); ++colour)
            rgb[colour] = toRgb32(nulaRgb((*palette.nula)[colour]));
    return rgb;
}

void paintLine(const Screen& screen, const LineColours& rgb, int y, std::uint32_t* row)
{
    const std::uint8_t* pixels = screen.line(y);
    const int visible = screen.paintedWidth;
    switch (screen.columns) {
    case ColumnMap::Halved:
        for (int sx = 0; sx < visible / 2; ++sx)
            row[sx] = rgb[pixels[2 * sx + 1]];
        break;
    case ColumnMap::Doubled:
        for (int px = 0; px < visible; ++px)
            row[2 * px] = row[2 * px + 1] = rgb[pixels[px]];
        break;
    case ColumnMap::Same:
        for (int px = 0; px < visible; ++px)
            row[px] = rgb[pixels[px]];
        break;
    }
}

void paintBitmap(const Screen& screen, PixelSurface& canvas)
{
    const LinePalette* shown = nullptr;
    LineColours rgb{};
    for (int y = 0; y < screen.paintedLines; ++y) {
        // Colours are worked out again only where the palette changes.
        if (const LinePalette& palette = screen.paletteAt(y); &palette != shown) {
            shown = &palette;
            rgb = lineColours(palette);
        }
        paintLine(screen, rgb, y, canvas.scanLine(y));
    }
}

}  // namespace

void paintScreen(const Screen& screen, PixelSurface& canvas)
{
    if (screen.isTeletext()) {
        paintTeletext(teletextScreen(screen), canvas);
        return;
    }
    paintBitmap(screen, canvas);
}

BufferSurface canvasPicture(const Screen& screen)
{
    BufferSurface canvas(kCanvasWidth, kCanvasHeight);
    paintScreen(screen, canvas);
    return canvas;
}
