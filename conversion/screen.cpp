#include "conversion/screen.h"

#include "conversion/screen_layout.h"

#include <algorithm>

Screen::Screen(const ScreenMode& record)
    : modeNumber(record.number), mode(&record),
      pixels(static_cast<std::size_t>(record.screenPixelsPerLine()) * kScreenLines, 0),
      palettes(1), paintedWidth(record.screenPixelsPerLine()), paintedLines(kScreenLines),
      columns(record.columns)
{
    for (int colour = 0; colour < record.numcols; ++colour)
        palettes.front().physical[static_cast<std::size_t>(colour)] =
            physicalColour(record.palette[static_cast<std::size_t>(colour)]);
}

Screen Screen::teletext(std::vector<std::uint8_t> bytes)
{
    assert(bytes.size() == static_cast<std::size_t>(kTeletextMode.screenBytes()));
    Screen screen;
    screen.modeNumber = kTeletextMode.number;
    screen.pixels = std::move(bytes);
    return screen;
}

std::uint32_t Screen::screenStart() const
{
    return isTeletext() ? kTeletextMode.screenStart : mode->screenStart;
}

int Screen::screenBytes() const
{
    return isTeletext() ? kTeletextMode.screenBytes() : mode->screenBytes();
}

const LinePalette& Screen::paletteAt(int y) const
{
    assert(!palettes.empty() && palettes.front().firstLine == 0);
    // The last palette that starts at or above the line.
    const auto after = std::upper_bound(palettes.begin(), palettes.end(), y,
                                        [](int line, const LinePalette& palette) { return line < palette.firstLine; });
    return *(after - 1);
}

bool Screen::hasNula() const
{
    return std::any_of(palettes.begin(), palettes.end(), [](const LinePalette& palette) { return palette.nula.has_value(); });
}

std::vector<std::uint8_t> screenMemory(const Screen& screen)
{
    return screen.isTeletext() ? screen.pixels : packScreen(screen);
}

Screen teletextDocument(const TeletextScreen& teletext)
{
    return Screen::teletext(std::vector<std::uint8_t>(teletext.bytes.begin(), teletext.bytes.end()));
}

TeletextScreen teletextScreen(const Screen& screen)
{
    assert(screen.isTeletext() && screen.pixels.size() == static_cast<std::size_t>(kTeletextBytes));
    TeletextScreen teletext;
    std::copy(screen.pixels.begin(), screen.pixels.end(), teletext.bytes.begin());
    return teletext;
}
