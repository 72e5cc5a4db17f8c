#pragma once

#include "conversion/teletext/sixel_costs.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The cells at the start of a row that the margin pass may rewrite.
inline constexpr int kLeadCells = 4;

// A row's first kLeadCells characters, what they cost and whether they
// light the row's left edge (edge_flips.h).
struct Lead {
    std::array<std::uint8_t, kLeadCells> bytes{};
    float cost = 0;
    bool lit = false;
};

// A row's own lead and the cheapest lead (by lookCost over the row's
// `cells`) that lights the edge where the own one leaves it dark or the
// other way round, and leaves the chip in the same state after it as the
// own one does, so that the rest of the row shows exactly as before; absent
// where no lead tried reaches that state.
struct EdgeLeads {
    Lead own;
    std::optional<Lead> other;
};

// The leads of a row whose first kLeadCells characters are `own` and
// whose cells cost `cells` (at least kLeadCells of each). Deterministic.
EdgeLeads edgeLeads(std::span<const CellCosts> cells, std::span<const std::uint8_t> own);
