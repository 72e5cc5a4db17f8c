#include "screen_invariants.h"

#include "conversion/screen_modes.h"
#include "conversion/teletext/row_programme.h"
#include "conversion/teletext/teletext_conversion.h"
#include "conversion/teletext_renderer.h"
#include "../tests/test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

void require(bool ok, const char* what)
{
    if (ok)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

namespace {

// The screen pixel whose colour a preview column shows last: in mode 0 two
// screen pixels share a source column and the right one is painted last; in
// modes 2 and 5 one screen pixel covers two columns.
int screenPixelShownAt(int mode, int column)
{
    if (mode == 0)
        return 2 * column + 1;
    if (mode == 2 || mode == 5)
        return column / 2;
    return column;
}

Color paletteColour(const ScreenMode& mode, int logical)
{
    const auto& on = mode.palette[static_cast<std::size_t>(logical)];
    return RGB(on[0] * 255, on[1] * 255, on[2] * 255);
}

bool isPaletteColour(const ScreenMode& mode, Color colour)
{
    for (int logical = 0; logical < mode.numcols; ++logical)
        if (paletteColour(mode, logical) == colour)
            return true;
    return false;
}

}  // namespace

void checkScreenInvariants(const ConversionState& state, const std::vector<std::uint8_t>& bytes,
                           const PixelSurface& preview)
{
    const ScreenMode* mode = findScreenMode(state.curmode);
    require(mode != nullptr, "converted a mode without a record");
    require(bytes.size() == static_cast<std::size_t>(mode->screenBytes()),
            "screen size differs from the mode's");
    require(bytes.size() == (state.curmode <= 2 ? 20480u : 10240u),
            "screen is neither 20480 nor 10240 bytes");
    if (state.curmode == 2)
        for (std::uint8_t byte : bytes)
            require((byte & 0xC0) == 0, "mode 2 byte with bit 7 or 6 set");

    const bool wholePicture = state.aspect > 0 && state.picwidth == kPictureWidth &&
                              state.picheight == kPictureHeight;
    if (!wholePicture)
        return;
    const auto logical = decodeScreen(state.curmode, bytes);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            const Color shown = preview.pixel(x, y);
            require(isPaletteColour(*mode, shown), "preview pixel outside the mode's palette");
            const int px = screenPixelShownAt(state.curmode, x);
            const int colour = logical[static_cast<std::size_t>(px)][static_cast<std::size_t>(y)];
            require(colour < mode->numcols, "screen byte holds a colour the mode lacks");
            require(paletteColour(*mode, colour) == shown,
                    "screen bytes decode to a colour other than the one painted");
        }
}

void checkTeletextInvariants(const Conversion& conversion, const PixelSurface& preview)
{
    require(conversion.bytes().size() == kTeletextBytes, "a mode 7 screen is not 1000 bytes");
    const auto codes = rowControlCodes();
    const auto isCode = [&](std::uint8_t byte) { return std::find(codes.begin(), codes.end(), byte) != codes.end(); };
    const TeletextScreen screen = teletextScreen(conversion.screen);
    for (int row = 0; row < kTeletextRows; ++row) {
        require(isCode(screen.at(0, row)), "a mode 7 row does not start with a control code");
        for (int column = 1; column < kTeletextColumns; ++column)
            require(isCode(screen.at(column, row)) || screen.at(column, row) == mosaicByte(sixelsOf(screen.at(column, row))),
                    "a mode 7 byte is neither a control code nor a mosaic");
    }
    BufferSurface painted(kPictureWidth, kPictureHeight);
    paintTeletext(screen, painted);
    for (int y = 0; y < kPictureHeight; ++y)
        require(std::equal(painted.scanLine(y), painted.scanLine(y) + kPictureWidth, preview.scanLine(y)),
                "the mode 7 preview is not the painting of its bytes");
}
