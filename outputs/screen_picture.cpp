#include "outputs/screen_picture.h"

#include "conversion/painter.h"
#include "conversion/teletext/teletext_renderer.h"

#include <algorithm>
#include <array>
#include <cassert>

namespace {

ScreenPicture bitmapPicture(const ScreenImage& image)
{
    ScreenPicture picture{BufferSurface(image.width(), kScreenLines), kDisplayWidth / image.width(),
                          kDisplayLines / kScreenLines};
    // In VideoNuLA colours as the machine shows them when chosen (mode 2 then
    // has 16 logical colours), else in the physical colours of the palette.
    std::array<std::uint32_t, 16> colours{};
    for (std::size_t logical = 0; logical < colours.size(); ++logical)
        colours[logical] = image.nula ? toRgb32(nulaRgb((*image.nula)[logical]))
                                      : toRgb32(physicalRgb(image.palette[logical & 7]));
    for (int y = 0; y < kScreenLines; ++y) {
        const std::uint8_t* logical = image.line(y);
        std::transform(logical, logical + image.width(), picture.pixels.scanLine(y),
                       [&](std::uint8_t colour) { return colours[colour & 15]; });
    }
    return picture;
}

ScreenPicture teletextPicture(const std::vector<std::uint8_t>& bytes)
{
    assert(bytes.size() == static_cast<std::size_t>(kTeletextBytes));
    TeletextScreen screen;
    std::copy(bytes.begin(), bytes.end(), screen.bytes.begin());
    ScreenPicture picture{BufferSurface(kTeletextWidth, kTeletextHeight), 1, 1};
    drawTeletext(screen, picture.pixels);
    return picture;
}

}  // namespace

ScreenPicture screenPicture(const Conversion& conversion)
{
    if (conversion.image.mode != nullptr)
        return bitmapPicture(conversion.image);
    return teletextPicture(conversion.bytes);
}
