#include "conversion/screen_picture.h"

#include "conversion/painter.h"
#include "conversion/teletext_renderer.h"

#include <algorithm>
#include <array>
#include <cassert>

namespace {

// In VideoNuLA colours as the machine shows them when chosen (mode 2 then
// has 16 logical colours), else in the physical colours of the palette.
std::array<std::uint32_t, 16> realColours(const LinePalette& palette)
{
    std::array<std::uint32_t, 16> colours{};
    for (std::size_t logical = 0; logical < colours.size(); ++logical)
        colours[logical] = palette.nula ? toRgb32(nulaRgb((*palette.nula)[logical]))
                                        : toRgb32(physicalRgb(palette.physical[logical & 7]));
    return colours;
}

ScreenPicture bitmapPicture(const Screen& screen)
{
    ScreenPicture picture{BufferSurface(screen.width(), kScreenLines), kDisplayWidth / screen.width(),
                          kDisplayLines / kScreenLines};
    for (int y = 0; y < kScreenLines; ++y) {
        const auto colours = realColours(screen.paletteAt(y));
        const std::uint8_t* logical = screen.line(y);
        std::transform(logical, logical + screen.width(), picture.pixels.scanLine(y),
                       [&](std::uint8_t colour) { return colours[colour & 15]; });
    }
    return picture;
}

ScreenPicture teletextPicture(const Screen& screen)
{
    ScreenPicture picture{BufferSurface(kTeletextWidth, kTeletextHeight), 1, 1};
    drawTeletext(teletextScreen(screen), picture.pixels);
    return picture;
}

}  // namespace

ScreenPicture screenPicture(const Screen& screen)
{
    return screen.isTeletext() ? teletextPicture(screen) : bitmapPicture(screen);
}
