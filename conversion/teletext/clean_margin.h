#pragma once

#include "conversion/linear_image.h"
#include "conversion/teletext/sixel_costs.h"
#include "conversion/teletext_chip.h"
#include "conversion/teletext_screen.h"

#include <array>
#include <cstdint>
#include <span>

// A row's first cells are control codes, shown as blocks of the background
// in force: rows that set a background there (a new background in column 0
// shows the default white) and rows that do not draw a band of stripes down
// the screen's left edge. What follows keeps that edge clean unless a colour
// there brings the picture closer by more than the break in the edge costs.

// The cells of a row that count as its left edge.
inline constexpr int kEdgeCells = 3;

// The colours along the bottom of a row's edge cells, per sixel column
// (a separated dot counts as its background).
using EdgeColours = std::array<std::array<std::uint8_t, 2>, kEdgeCells>;

// Black, as above the first row.
inline constexpr EdgeColours kBlackEdge{};

// The bottom colours of the edge cells of a row showing `looks` (at least
// kEdgeCells of them).
EdgeColours bottomEdge(std::span<const CellLook> looks);

// Adds `edgeCost` times each sixel's share of its cell to the costs of the
// colours that differ, in each edge cell, from the colour above the sixel's
// column: a whole cell unlike the one above costs `edgeCost` more.
void addEdgeCosts(std::span<CellCosts> cells, const EdgeColours& above, float edgeCost);

// Rewrites each row's leading control codes (up to kEdgeCells of them) to
// the codes that reach the same chip state after them, so the rest of the
// row shows as before, and cost least with the edge costs above. For the
// finished screen, after any search that does not weigh the edge; `picture`
// is the one the screen was converted from.
void cleanLeftMargin(TeletextScreen& screen, const LinearImage& picture, float edgeCost);
