#include "conversion/teletext/teletext_conversion.h"

#include "conversion/teletext/blur_refinement.h"
#include "conversion/teletext/clean_margin.h"
#include "conversion/teletext/error_carry.h"
#include "conversion/teletext/sixel_costs.h"
#include "conversion/teletext_renderer.h"

#include <algorithm>
#include <array>
#include <cassert>

namespace {

// The share of a row's error carried into the next (see error_carry.h).
constexpr float kCarriedError = 0.5f;
// Passes of the blurred search over the finished screen (see blur_refinement.h).
constexpr int kRefineSweeps = 3;
// What a flip down the left edge (edge_flips.h) costs the margin pass, in
// the row programme's units (a cell wholly black where the picture is white
// costs 1). On the photos of bench/quality.sh 0.2 takes the median from 6
// flips to 1 and leaves the median score as it was; from 0.3 on, the pass
// starts to give up cells of pictures that mode 7 shows exactly, whose
// stripes are their own.
constexpr float kEdgeFlipCost = 0.2f;

}  // namespace

TeletextScreen convertToTeletext(const LinearImage& picture, const RowSearch& search)
{
    LinearImage samples = sixelSamples(picture);
    TeletextScreen screen;
    for (int row = 0; row < kTeletextRows; ++row) {
        const RowPlan plan = planRow(rowCosts(samples, row), search);
        std::array<CellLook, kTeletextColumns> looks;
        ChipState chip;
        for (int column = 0; column < kTeletextColumns; ++column) {
            const std::uint8_t byte = plan.bytes[static_cast<std::size_t>(column)];
            screen.at(column, row) = byte;
            looks[static_cast<std::size_t>(column)] = showCell(chip, byte);
        }
        if (row + 1 < kTeletextRows)
            carryRowError(samples, row, looks, kCarriedError);
    }
    refineByBlur(screen, picture, kRefineSweeps);
    cleanLeftMargin(screen, picture, kEdgeFlipCost);
    return screen;
}

Screen convertTeletextPicture(const LinearImage& picture)
{
    return teletextDocument(convertToTeletext(picture));
}
