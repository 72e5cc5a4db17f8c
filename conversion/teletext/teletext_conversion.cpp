#include "conversion/teletext/teletext_conversion.h"

#include "conversion/colour_space.h"
#include "conversion/teletext/sixel_costs.h"
#include "conversion/teletext/teletext_renderer.h"

#include <cassert>

LinearImage planesLinear(const ConversionState& state)
{
    const int width = state.picwidth > 0 ? state.picwidth : kPictureWidth;
    const int height = state.picheight > 0 ? state.picheight : kPictureHeight;
    assert(width <= kPictureWidth && height <= kPictureHeight);
    LinearImage picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.at(x, y) = LinearRgb{srgbToLinear(static_cast<std::uint8_t>(state.red(x, y))),
                                         srgbToLinear(static_cast<std::uint8_t>(state.green(x, y))),
                                         srgbToLinear(static_cast<std::uint8_t>(state.blue(x, y)))};
    return picture;
}

TeletextScreen convertToTeletext(const LinearImage& picture, const RowSearch& search)
{
    const LinearImage sixels = sixelGrid(picture);
    TeletextScreen screen;
    for (int row = 0; row < kTeletextRows; ++row) {
        const RowPlan plan = planRow(rowCosts(sixels, row), search);
        for (int column = 0; column < kTeletextColumns; ++column)
            screen.at(column, row) = plan.bytes[static_cast<std::size_t>(column)];
    }
    return screen;
}

TeletextConversion convertTeletext(const ConversionState& state, PixelSurface& preview)
{
    TeletextConversion result;
    result.screen = convertToTeletext(planesLinear(state));
    result.bytes.assign(result.screen.bytes.begin(), result.screen.bytes.end());
    result.inf = infLine(kTeletextMode);
    paintTeletext(result.screen, preview);
    return result;
}
