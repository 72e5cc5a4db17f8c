#pragma once

#include "conversion/linear_image.h"
#include "conversion/teletext_chip.h"

#include <array>
#include <vector>

// The picture over the teletext screen's sixel grid: 2 sixel columns and 3
// sixel rows per cell (80 × 75), each the area average in linear light of
// the part of the picture its sixel covers when the picture fills the
// screen. Sixel rows are 3, 4 and 3 tenths of a cell high.
LinearImage sixelGrid(const LinearImage& picture);

// What showing each colour costs in one cell: for each sixel (bit order of
// Sixels), how far apart the picture and the colour look, in OKLab, weighted
// by the sixel's share of the cell. The cost of a look is the sum over its
// sixels, so a row's cost is the mean distance over its cells times 40.
struct CellCosts {
    std::array<std::array<float, 8>, 6> plain{};    // [sixel][colour]: the sixel filled
    // [sixel][fg * 8 + bg]: a separated dot of fg on bg, seen as their mixture
    std::array<std::array<float, 64>, 6> dotted{};
};

// The picture over the screen as samples, each the area average in linear
// light of what it covers: one per sixel column (80) and 10 lines per
// character row, each 2 display lines high (250), so that a sixel row holds
// 3, 4 or 3 lines of samples. (More samples across measured no better.)
LinearImage sixelSamples(const LinearImage& picture);

// The costs of the cells of character row `row` (0..24) from sixelSamples:
// each sixel's cost of a colour is its distance from the mean of the
// sixel's samples, times the sixel's share of the cell.
std::vector<CellCosts> rowCosts(const LinearImage& samples, int row);

// The cost of a cell showing `look`.
float lookCost(const CellCosts& costs, const CellLook& look);
