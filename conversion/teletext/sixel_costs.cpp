#include "conversion/teletext/sixel_costs.h"

#include "conversion/colour_space.h"
#include "conversion/teletext_screen.h"

#include <cassert>
#include <cmath>

namespace {

constexpr int kSixelColumns = 2 * kTeletextColumns;
constexpr int kSixelRows = 3 * kTeletextRows;
// Lines of samples per character row: each two display lines high.
constexpr int kSampleLines = 10;
// Sixel rows in tenths of a cell, and a separated dot's share of its sixel:
// 2 of 3 dot columns and 2 of 3 (or 3 of 4) dot rows.
constexpr std::array<int, 3> kSixelTenths{3, 4, 3};
constexpr std::array<float, 3> kDotShare{4.0f / 9, 1.0f / 2, 4.0f / 9};

LinearRgb blend(LinearRgb a, LinearRgb b, float share)
{
    return LinearRgb{a.r * share + b.r * (1 - share), a.g * share + b.g * (1 - share),
                     a.b * share + b.b * (1 - share)};
}

struct Palette {
    std::array<Oklab, 8> plain;
    std::array<std::array<Oklab, 64>, 3> dotted;  // [sixel row][fg * 8 + bg]
};

Palette buildPalette()
{
    Palette palette;
    for (int c = 0; c < 8; ++c)
        palette.plain[static_cast<std::size_t>(c)] = toOklab(physicalLinear(c));
    for (std::size_t row = 0; row < 3; ++row)
        for (int pair = 0; pair < 64; ++pair)
            palette.dotted[row][static_cast<std::size_t>(pair)] =
                toOklab(blend(physicalLinear(pair / 8), physicalLinear(pair % 8), kDotShare[row]));
    return palette;
}

const Palette& palette()
{
    static const Palette built = buildPalette();
    return built;
}

// Adds to the costs of sixel `sixel` the distances from one sample of the
// picture to every colour, times `weight`.
void addSampleCosts(CellCosts& costs, int sixel, const Oklab& target, float weight)
{
    const Palette& colours = palette();
    const auto s = static_cast<std::size_t>(sixel), row = static_cast<std::size_t>(sixel / 2);
    for (std::size_t c = 0; c < 8; ++c)
        costs.plain[s][c] += weight * std::sqrt(oklabDistance2(target, colours.plain[c]));
    // A separated dot and its gap merge for the eye into their mixture.
    for (std::size_t pair = 0; pair < 64; ++pair)
        costs.dotted[s][pair] += weight * std::sqrt(oklabDistance2(target, colours.dotted[row][pair]));
}

}  // namespace

LinearImage sixelGrid(const LinearImage& picture)
{
    // Lines of 2 display lines each (250 over the screen), summed 3, 4, 3 per cell.
    const LinearImage lines = sixelSamples(picture);
    LinearImage grid(kSixelColumns, kSixelRows);
    for (int y = 0; y < kSixelRows; ++y) {
        const int cellRow = y / 3, sixelRow = y % 3;
        const int first = 10 * cellRow + (sixelRow == 0 ? 0 : sixelRow == 1 ? 3 : 7);
        const int count = kSixelTenths[static_cast<std::size_t>(sixelRow)];
        for (int x = 0; x < kSixelColumns; ++x) {
            LinearRgb sum;
            for (int line = first; line < first + count; ++line) {
                sum.r += lines.at(x, line).r;
                sum.g += lines.at(x, line).g;
                sum.b += lines.at(x, line).b;
            }
            grid.at(x, y) = LinearRgb{sum.r / count, sum.g / count, sum.b / count};
        }
    }
    return grid;
}

LinearImage sixelSamples(const LinearImage& picture)
{
    return areaAverage(picture, kSixelColumns, kSampleLines * kTeletextRows);
}

std::vector<CellCosts> rowCosts(const LinearImage& samples, int row)
{
    assert(samples.width == kSixelColumns && samples.height == kSampleLines * kTeletextRows);
    std::vector<CellCosts> cells(kTeletextColumns);
    // Each sixel is compared by the mean of its samples: the eye (and a blur)
    // sees a sixel's mean colour, not its texture.
    int first = 0;
    for (int sixelRow = 0; sixelRow < 3; ++sixelRow) {
        const int count = kSixelTenths[static_cast<std::size_t>(sixelRow)];
        const float weight = static_cast<float>(count) / static_cast<float>(kSampleLines * 2);
        for (int x = 0; x < samples.width; ++x) {
            LinearRgb sum;
            for (int line = first; line < first + count; ++line) {
                const LinearRgb& p = samples.at(x, kSampleLines * row + line);
                sum.r += p.r / count;
                sum.g += p.g / count;
                sum.b += p.b / count;
            }
            addSampleCosts(cells[static_cast<std::size_t>(x / 2)], 2 * sixelRow + x % 2,
                           toOklab(sum), weight);
        }
        first += count;
    }
    return cells;
}

float lookCost(const CellCosts& costs, const CellLook& look)
{
    const std::size_t pair = static_cast<std::size_t>(look.foreground * 8 + look.background);
    float sum = 0;
    for (std::size_t s = 0; s < 6; ++s) {
        if ((look.sixels >> s & 1) == 0)
            sum += costs.plain[s][look.background];
        else
            sum += look.separated ? costs.dotted[s][pair] : costs.plain[s][look.foreground];
    }
    return sum;
}
