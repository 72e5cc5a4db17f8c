#include "conversion/classic/conversion_pass.h"

#include "conversion/classic/colour_match.h"
#include "conversion/classic/halftone.h"
#include "conversion/classic/pass_tables.h"
#include "conversion/classic/pixel_codes.h"
#include "conversion/screen_layout.h"
#include "conversion/screen_modes.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMaxScreenPixels = 640;

void codeLine(const PassTables& tables, const std::int32_t* codes, int width, std::uint8_t* out)
{
    for (int px = 0; px < width; ++px)
        out[px] = tables.logical[static_cast<std::size_t>(codes[px])];
}

#ifndef NDEBUG
// Debug builds check every line of the fast pass against the plain pixel
// steps: offsets added per pixel, sums clamped, matchcol.
void checkLine(const ConversionState& state, const PassTables& tables, int y, int visible,
               const std::uint8_t* logical)
{
    const ModeGeometry& geometry = tables.geometry;
    const ColumnMap map = columnMap(state);
    const bool wide = map == ColumnMap::Doubled;
    for (int px = 0; px < geometry.rowbytes * geometry.pixperbyte; ++px) {
        const int sx = map == ColumnMap::Doubled ? 2 * px : map == ColumnMap::Halved ? px / 2 : px;
        if (sx >= state.picwidth) {
            assert(px >= visible && logical[px] == 0);
            continue;
        }
        std::int32_t r = state.red(sx, y), g = state.green(sx, y), b = state.blue(sx, y);
        if (wide) {
            r = (r + state.red(sx + 1, y)) / 2;
            g = (g + state.green(sx + 1, y)) / 2;
            b = (b + state.blue(sx + 1, y)) / 2;
        }
        const int s = state.stagger ? 1 : 0;
        r += state.mat(px % 16, y % 16);
        g += state.mat((px + s) % 16, (y + 2 * s) % 16);
        b += state.mat((px + 2 * s) % 16, (y + s) % 16);
        Color colour;
        const std::int32_t expected = matchcol(state, std::clamp(r, 0, 255), std::clamp(g, 0, 255),
                                               std::clamp(b, 0, 255), geometry.numcols, colour);
        assert(expected == logical[px]);
    }
}
#endif

}  // namespace

std::optional<std::string> conversionProblem(const ConversionState& state)
{
    if (findScreenMode(state.curmode) == nullptr)
        return "screen mode " + std::to_string(state.curmode) + " is not supported";
    if (state.picwidth < 0 || state.picwidth > kPictureWidth || state.picheight < 0 ||
        state.picheight > kPictureHeight)
        return "picture size is outside 320 x 256";
    return std::nullopt;
}

// Line by line rather than in screen-memory order: the packer puts the bytes
// in screen order afterwards, which gives the same bytes.
Screen WriteImage(const ConversionState& state)
{
    const ScreenMode* mode = findScreenMode(state.curmode);
    assert(mode != nullptr);
    const PassTables tables = buildPassTables(state);
    const int screenWidth = mode->screenPixelsPerLine();

    Screen image(*mode);
    image.columns = columnMap(state);
    image.paintedWidth = visiblePixels(image.columns, state.picwidth, screenWidth);
    // Scan lines at or beyond the picture's height stay 0 and are not painted.
    image.paintedLines = std::clamp(state.picheight, 0, kScreenLines);
    for (int colour = 0; colour < mode->numcols; ++colour)
        image.palette().physical[static_cast<std::size_t>(colour)] = physicalColour(
            {state.modeclrs(mode->number, colour, 0), state.modeclrs(mode->number, colour, 1),
             state.modeclrs(mode->number, colour, 2)});

    std::array<std::int32_t, kMaxScreenPixels> codes{};
    for (int y = 0; y < image.paintedLines; ++y) {
        lineCodes(image.columns, state, tables.thresholds[static_cast<std::size_t>(y % 16)], y,
                  image.paintedWidth, screenWidth, codes.data());
        codeLine(tables, codes.data(), screenWidth, image.line(y));
#ifndef NDEBUG
        checkLine(state, tables, y, image.paintedWidth, image.line(y));
#endif
    }
    return image;
}

Screen convertScreen(ConversionState& state)
{
    if (const auto problem = conversionProblem(state)) {
        std::fprintf(stderr, "rasterine: cannot convert this state: %s\n", problem->c_str());
        std::abort();
    }
    InitVars(state);
    InitMat(state);
    return WriteImage(state);
}
