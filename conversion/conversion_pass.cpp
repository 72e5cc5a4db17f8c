#include "conversion/conversion_pass.h"

#include "conversion/colour_match.h"
#include "conversion/halftone.h"
#include "conversion/screen_files.h"
#include "conversion/screen_layout.h"
#include "conversion/screen_modes.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kScanLines = 256;
constexpr int kMaxScreenPixels = 640;

// Matching depends only on which components are on, so the eight answers are
// worked out once per conversion with matchcol itself.
struct ColourTable {
    std::array<std::int32_t, 8> logical{};
    std::array<std::uint32_t, 8> rgb32{};
};

ColourTable colourTable(const ConversionState& state, int numcols)
{
    ColourTable table;
    for (int bits = 0; bits < 8; ++bits) {
        Color colour;
        table.logical[bits] = matchcol(state, (bits & 1) ? 255 : 0, (bits & 2) ? 255 : 0,
                                       (bits & 4) ? 255 : 0, numcols, colour);
        table.rgb32[bits] = toRgb32(colour);
    }
    return table;
}

// How screen columns map onto source columns.
enum class ColumnMap { Same, Halved, Doubled };

ColumnMap columnMap(const ConversionState& state)
{
    if (state.aspect <= 0)
        return ColumnMap::Same;
    if (state.curmode == 2 || state.curmode == 5)
        return ColumnMap::Doubled;  // each screen pixel covers two source columns
    if (state.curmode == 0)
        return ColumnMap::Halved;  // each source column serves two screen pixels
    return ColumnMap::Same;
}

// Half-tone offsets for one scan line, by screen column mod 16. With stagger,
// green and blue read the matrix at shifted places so the three components
// break up the same grey at different pixels.
struct LineOffsets {
    std::array<std::int32_t, 16> red{}, green{}, blue{};
};

LineOffsets lineOffsets(const ConversionState& state, int y)
{
    LineOffsets offsets;
    for (int i = 0; i < 16; ++i) {
        offsets.red[i] = state.mat(i, y % 16);
        offsets.green[i] = state.stagger ? state.mat((i + 1) % 16, (y + 2) % 16) : offsets.red[i];
        offsets.blue[i] = state.stagger ? state.mat((i + 2) % 16, (y + 1) % 16) : offsets.red[i];
    }
    return offsets;
}

// Converts scan line y: fills `logical` with each screen pixel's logical
// colour and paints the preview row.
void convertLine(const ConversionState& state, const ColourTable& colours, ColumnMap map,
                 int screenWidth, int y, std::int32_t* logical, std::uint32_t* previewRow)
{
    const LineOffsets offsets = lineOffsets(state, y);
    const std::int32_t* red = state.red.line(y);
    const std::int32_t* green = state.green.line(y);
    const std::int32_t* blue = state.blue.line(y);

    for (int px = 0; px < screenWidth; ++px) {
        const int sx = map == ColumnMap::Doubled ? 2 * px : map == ColumnMap::Halved ? px / 2 : px;
        if (sx >= state.picwidth) {
            logical[px] = 0;
            continue;
        }
        std::int32_t r = red[sx], g = green[sx], b = blue[sx];
        if (map == ColumnMap::Doubled) {
            r = (r + red[sx + 1]) / 2;
            g = (g + green[sx + 1]) / 2;
            b = (b + blue[sx + 1]) / 2;
        }
        // Clamping to 0..255 before the threshold at 128 would not change
        // which side of it a sum falls, so the sums are compared directly.
        const int t = px % 16;
        const int bits = (r + offsets.red[t] >= 128 ? 1 : 0) |
                         (g + offsets.green[t] >= 128 ? 2 : 0) |
                         (b + offsets.blue[t] >= 128 ? 4 : 0);
        logical[px] = colours.logical[bits];
        previewRow[sx] = colours.rgb32[bits];
        if (map == ColumnMap::Doubled)
            previewRow[sx + 1] = colours.rgb32[bits];
    }
}

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

ScreenImage convertPlanes(const ConversionState& state, PixelSurface& preview)
{
    const ModeGeometry geometry = modeGeometry(state.curmode);
    const int screenWidth = geometry.rowbytes * geometry.pixperbyte;
    const ColourTable colours = colourTable(state, geometry.numcols);
    const ColumnMap map = columnMap(state);

    ScreenImage image{state.curmode,
                      std::vector<std::uint8_t>(static_cast<std::size_t>(kScanLines) * geometry.rowbytes)};
    std::array<std::int32_t, kMaxScreenPixels> logical{};
    // Scan lines at or beyond the picture's height stay 0 and are not painted.
    const int lines = std::min(kScanLines, state.picheight);
    for (int y = 0; y < lines; ++y) {
        convertLine(state, colours, map, screenWidth, y, logical.data(), preview.scanLine(y));
        for (int m = 0; m < geometry.rowbytes; ++m)
            image.bytes[screenByteOffset(geometry.rowbytes, y, m)] =
                packbyte(state.curmode, &logical[static_cast<std::size_t>(m) * geometry.pixperbyte]);
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
