#include "conversion/conversion_pass.h"

#include "conversion/colour_match.h"
#include "conversion/halftone.h"
#include "conversion/pass_tables.h"
#include "conversion/pixel_codes.h"
#include "conversion/screen_files.h"
#include "conversion/screen_layout.h"
#include "conversion/screen_modes.h"

#include <algorithm>
#include <array>
#include <cassert>

namespace {

constexpr int kScanLines = 256;
constexpr int kMaxScreenPixels = 640;

// Paints the preview pixels of the visible screen pixels. In mode 0 the odd
// pixel of each pair is the one the preview keeps, as it is painted last.
void paintLine(ColumnMap map, const PassTables& tables, const std::int32_t* codes, int visible,
               std::uint32_t* row)
{
    switch (map) {
    case ColumnMap::Halved:
        for (int sx = 0; sx < visible / 2; ++sx)
            row[sx] = tables.preview[codes[2 * sx + 1]];
        break;
    case ColumnMap::Doubled:
        for (int px = 0; px < visible; ++px)
            row[2 * px] = row[2 * px + 1] = tables.preview[codes[px]];
        break;
    case ColumnMap::Same:
        for (int px = 0; px < visible; ++px)
            row[px] = tables.preview[codes[px]];
        break;
    }
}

// Packs the scan line's bytes; `out` is the line's byte in cell 0, and the
// bytes of neighbouring cells lie 8 apart.
template <int PixPerByte>
void packLine(const PassTables& tables, const std::int32_t* codes, int rowbytes, std::uint8_t* out)
{
    for (int m = 0; m < rowbytes; ++m, codes += PixPerByte) {
        unsigned byte = 0;
        for (int i = 0; i < PixPerByte; ++i)
            byte |= tables.packed[i][codes[i]];
        out[8 * m] = static_cast<std::uint8_t>(byte);
    }
}

void packLine(const PassTables& tables, const std::int32_t* codes, std::uint8_t* out)
{
    switch (tables.geometry.pixperbyte) {
    case 8: return packLine<8>(tables, codes, tables.geometry.rowbytes, out);
    case 4: return packLine<4>(tables, codes, tables.geometry.rowbytes, out);
    default: return packLine<2>(tables, codes, tables.geometry.rowbytes, out);
    }
}

#ifndef NDEBUG
// Debug builds check every line of the fast pass against the plain pixel
// steps: offsets added per pixel, sums clamped, matchcol, packbyte.
void checkLine(const ConversionState& state, const PassTables& tables, int y,
               const std::int32_t* codes, const std::uint8_t* out)
{
    const ModeGeometry& geometry = tables.geometry;
    const bool wide = state.aspect > 0 && (state.curmode == 2 || state.curmode == 5);
    std::array<std::int32_t, kMaxScreenPixels> logical{};
    for (int px = 0; px < geometry.rowbytes * geometry.pixperbyte; ++px) {
        int sx = px;
        if (state.aspect > 0)
            sx = wide ? 2 * px : state.curmode == 0 ? px / 2 : px;
        if (sx >= state.picwidth) {
            assert(codes[px] == kUnvisited);
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
        logical[px] = matchcol(state, std::clamp(r, 0, 255), std::clamp(g, 0, 255),
                               std::clamp(b, 0, 255), geometry.numcols, colour);
        assert(logical[px] == tables.logical[codes[px]]);
        assert(toRgb32(colour) == tables.preview[codes[px]]);
    }
    for (int m = 0; m < geometry.rowbytes; ++m)
        assert(out[8 * m] == packbyte(state.curmode, &logical[m * geometry.pixperbyte]));
}
#endif

}  // namespace

std::optional<std::string> conversionProblem(const ConversionState& state,
                                             const PixelSurface& preview)
{
    if (state.curmode < 0 || state.curmode > 6)
        return "screen mode " + std::to_string(state.curmode) + " is not supported";
    if (state.picwidth < 0 || state.picwidth > kPictureWidth || state.picheight < 0 ||
        state.picheight > kPictureHeight)
        return "picture size is outside 320 x 256";
    if (preview.width() < kPictureWidth || preview.height() < state.picheight)
        return "preview is smaller than the picture";
    return std::nullopt;
}

// Line by line rather than in screen-memory order: each scan line is coded,
// painted and packed in one sweep, which gives the same bytes and preview.
ScreenImage convertPlanes(const ConversionState& state, PixelSurface& preview)
{
    const PassTables tables = buildPassTables(state);
    const int rowbytes = tables.geometry.rowbytes;
    const int screenWidth = rowbytes * tables.geometry.pixperbyte;
    const ColumnMap map = columnMap(state);
    const int visible = visiblePixels(map, state.picwidth, screenWidth);

    ScreenImage image{state.curmode,
                      std::vector<std::uint8_t>(static_cast<std::size_t>(kScanLines) * rowbytes)};
    std::array<std::int32_t, kMaxScreenPixels> codes{};
    // Scan lines at or beyond the picture's height stay 0 and are not painted.
    const int lines = std::min(kScanLines, state.picheight);
    for (int y = 0; y < lines; ++y) {
        lineCodes(map, state, tables.thresholds[y % 16], y, visible, screenWidth, codes.data());
        paintLine(map, tables, codes.data(), visible, preview.scanLine(y));
        std::uint8_t* out = image.bytes.data() + screenByteOffset(rowbytes, y, 0);
        packLine(tables, codes.data(), out);
#ifndef NDEBUG
        checkLine(state, tables, y, codes.data(), out);
#endif
    }
    return image;
}

std::optional<FileError> WriteImage(const ConversionState& state, PixelSurface& preview,
                                    const std::string& screenFile)
{
    if (auto problem = conversionProblem(state, preview))
        return FileError{screenFile, *problem};
    const ScreenImage image = convertPlanes(state, preview);
    return writeScreenFiles(screenFile, state.curmode, image.bytes);
}

std::optional<FileError> convertAndWrite(ConversionState& state, PixelSurface& preview,
                                         const std::string& screenFile)
{
    InitVars(state);
    InitMat(state);
    return WriteImage(state, preview, screenFile);
}
