#include "screen_invariants.h"

#include "conversion/screen_modes.h"
#include "../tests/test_support.h"

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
