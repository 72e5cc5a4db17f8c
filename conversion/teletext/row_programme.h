#pragma once

#include "conversion/teletext/sixel_costs.h"

#include <cstdint>
#include <span>
#include <vector>

// How widely the row programme searches. A state is everything the chip
// remembers (teletext_chip.h); states that differ only in the held mosaic
// share a bucket.
struct RowSearch {
    int heldPerBucket = 2;     // held mosaics kept per bucket (the cheapest), 1..128
    int beamWidth = 64;        // states kept after each cell (the cheapest); 0: all
    bool everyMosaic = false;  // try all 64 mosaics everywhere, not only the likely ones
};

// Nothing left out: the least cost over every row of control codes and
// mosaics (slow; for short rows).
inline constexpr RowSearch kExhaustiveSearch{128, 0, true};

// The control codes the programme may write: graphics colours &91..&97,
// contiguous, separated, black and new background, hold and release.
std::span<const std::uint8_t> rowControlCodes();

// The cheapest sixels for a cell drawn in `fg` on `bg`: each sixel lit
// where the foreground costs less.
Sixels cheapestSixels(const CellCosts& costs, int fg, int bg, bool separated);

// A row's characters and what they cost.
struct RowPlan {
    std::vector<std::uint8_t> bytes;
    float cost = 0;
};

// The dynamic programme over one character row: chooses a control code or
// mosaic character for every cell (the first always a control code) so
// that the sum of lookCost over the row's cells is least within `search`.
// Deterministic. `cells` holds one entry per cell, at least one.
RowPlan planRow(std::span<const CellCosts> cells, const RowSearch& search);

// The cost of showing `bytes` (one per cell) from the row's default state.
float rowCost(std::span<const CellCosts> cells, std::span<const std::uint8_t> bytes);
