#include "conversion/painter.h"

#include <array>

void paintScreen(const ScreenImage& image, PixelSurface& preview)
{
    std::array<std::uint32_t, 256> rgb{};
    for (std::size_t colour = 0; colour < image.palette.size(); ++colour)
        rgb[colour] = toRgb32(physicalRgb(image.palette[colour]));
    if (image.nula)
        for (std::size_t colour = 0; colour < image.nula->size(); ++colour)
            rgb[colour] = toRgb32(nulaRgb((*image.nula)[colour]));

    const int visible = image.paintedWidth;
    for (int y = 0; y < image.paintedLines; ++y) {
        const std::uint8_t* pixels = image.line(y);
        std::uint32_t* row = preview.scanLine(y);
        switch (image.columns) {
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
}
