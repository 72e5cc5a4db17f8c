#include "conversion/teletext/error_carry.h"

#include "conversion/colour_space.h"
#include "conversion/teletext_screen.h"

#include <cassert>

namespace {

constexpr int kSampleLines = 10;
constexpr int kTopLines = 3;     // sample lines 0..2 make the top sixel row
constexpr int kBottomLine = 7;  // and lines 7..9 the bottom one

// The mean colour the bottom sixel `half` (0 left, 1 right) of a cell shows:
// a separated dot covers 4/9 of its sixel.
LinearRgb shownColour(const CellLook& look, int half)
{
    const LinearRgb fg = physicalLinear(look.foreground), bg = physicalLinear(look.background);
    if ((look.sixels >> (4 + half) & 1) == 0)
        return bg;
    const float share = look.separated ? 4.0f / 9 : 1.0f;
    return LinearRgb{fg.r * share + bg.r * (1 - share), fg.g * share + bg.g * (1 - share),
                     fg.b * share + bg.b * (1 - share)};
}

LinearRgb bottomTarget(const LinearImage& samples, int x, int row)
{
    LinearRgb mean;
    for (int line = kBottomLine; line < kSampleLines; ++line) {
        const LinearRgb& p = samples.at(x, kSampleLines * row + line);
        mean.r += p.r / 3;
        mean.g += p.g / 3;
        mean.b += p.b / 3;
    }
    return mean;
}

void addToTop(LinearImage& samples, int x, int row, const LinearRgb& error)
{
    for (int line = 0; line < kTopLines; ++line) {
        LinearRgb& p = samples.at(x, kSampleLines * row + line);
        p.r += error.r;
        p.g += error.g;
        p.b += error.b;
    }
}

}  // namespace

void carryRowError(LinearImage& samples, int row, std::span<const CellLook> looks, float strength)
{
    assert(samples.width == 2 * kTeletextColumns && row + 1 < kTeletextRows);
    assert(looks.size() == static_cast<std::size_t>(kTeletextColumns));
    for (int x = 0; x < samples.width; ++x) {
        const LinearRgb target = bottomTarget(samples, x, row);
        const LinearRgb shown = shownColour(looks[static_cast<std::size_t>(x / 2)], x % 2);
        addToTop(samples, x, row + 1,
                 LinearRgb{strength * (target.r - shown.r), strength * (target.g - shown.g),
                           strength * (target.b - shown.b)});
    }
}
