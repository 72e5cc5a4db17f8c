#include "plain_teletext.h"

#include "conversion/colour_space.h"
#include "conversion/teletext/sixel_costs.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

float distance2(const LinearRgb& a, const LinearRgb& b)
{
    const float r = a.r - b.r, g = a.g - b.g, bl = a.b - b.b;
    return r * r + g * g + bl * bl;
}

bool lit(const LinearRgb& sixel, int colour)
{
    return distance2(sixel, physicalLinear(colour)) < distance2(sixel, physicalLinear(0));
}

// How far the row's sixels (of cells 1..39) are from what `colour` on black shows.
float rowError(const LinearImage& sixels, int row, int colour)
{
    float sum = 0;
    for (int y = 3 * row; y < 3 * row + 3; ++y)
        for (int x = 2; x < sixels.width; ++x) {
            const LinearRgb& s = sixels.at(x, y);
            sum += std::sqrt(std::min(distance2(s, physicalLinear(colour)), distance2(s, physicalLinear(0))));
        }
    return sum;
}

Sixels cellSixels(const LinearImage& sixels, int column, int row, int colour)
{
    Sixels bits = 0;
    for (int s = 0; s < 6; ++s)
        if (lit(sixels.at(2 * column + s % 2, 3 * row + s / 2), colour))
            bits |= static_cast<Sixels>(1 << s);
    return bits;
}

}  // namespace

TeletextScreen plainTeletext(const LinearImage& picture)
{
    const LinearImage sixels = sixelGrid(picture);
    TeletextScreen screen;
    for (int row = 0; row < kTeletextRows; ++row) {
        int best = 7;
        float bestError = std::numeric_limits<float>::max();
        for (int colour = 1; colour <= 7; ++colour)
            if (const float error = rowError(sixels, row, colour); error < bestError)
                best = colour, bestError = error;
        screen.at(0, row) = teletext_code::graphicsColour(best);
        for (int column = 1; column < kTeletextColumns; ++column)
            screen.at(column, row) = mosaicByte(cellSixels(sixels, column, row, best));
    }
    return screen;
}
