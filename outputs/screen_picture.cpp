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
    std::array<std::uint32_t, 8> colours{};
    for (std::size_t logical = 0; logical < colours.size(); ++logical)
        colours[logical] = toRgb32(physicalRgb(image.palette[logical]));
    for (int y = 0; y < kScreenLines; ++y) {
        const std::uint8_t* logical = image.line(y);
        std::transform(logical, logical + image.width(), picture.pixels.scanLine(y),
                       [&](std::uint8_t colour) { return colours[colour & 7]; });
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
