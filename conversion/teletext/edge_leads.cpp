#include "conversion/teletext/edge_leads.h"

#include "conversion/teletext/edge_flips.h"
#include "conversion/teletext/row_programme.h"

#include <algorithm>
#include <cassert>
#include <map>
#include <vector>

namespace {

static_assert(kLeadCells >= kEdgeFlipCells, "the lead must cover the edge it lights");

// One way into a cell of the lead: the state after it and how it got there.
struct Step {
    ChipState state;
    float cost = 0;
    int from = -1;                  // step of the previous cell
    std::uint8_t byte = 0;
    CellLook first;                 // what column 0 shows
    int edge = -1;                  // -1 until column 1 is shown, then 0 dark, 1 lit
};

std::uint32_t stateKey(const Step& step)
{
    const ChipState& s = step.state;
    const std::uint32_t key = s.foreground | s.background << 3 | s.graphics << 6 | s.separated << 7 | s.hold << 8 |
                              s.held << 9 | s.heldSeparated << 15;
    return key << 2 | static_cast<std::uint32_t>(step.edge + 1);
}

// The fewest cells that can take the chip from `s` to `target`: every
// control code changes one thing of colour, background, style or hold, and
// only a mosaic sets the held mosaic.
int cellsNeeded(const ChipState& s, const ChipState& target)
{
    int cells = (s.foreground != target.foreground || s.graphics != target.graphics) +
                (s.background != target.background) + (s.separated != target.separated) + (s.hold != target.hold);
    if (s.held != target.held || s.heldSeparated != target.heldSeparated)
        cells += target.held != 0 || cells == 0;
    return cells;
}

// The characters tried in cell `i` from `state`: every control code (only
// they in column 0), and in graphics mode the mosaic cheapest there, the
// solid block (which lights the edge) and the row's own character.
std::vector<std::uint8_t> tried(std::span<const CellCosts> cells, std::size_t i, const ChipState& state,
                                std::uint8_t own)
{
    const std::span<const std::uint8_t> codes = rowControlCodes();
    std::vector<std::uint8_t> bytes(codes.begin(), codes.end());
    if (i == 0)
        return bytes;
    if (state.graphics) {
        bytes.push_back(mosaicByte(cheapestSixels(cells[i], state.foreground, state.background, state.separated)));
        bytes.push_back(mosaicByte(0x3F));
    }
    bytes.push_back(own);
    std::sort(bytes.begin(), bytes.end());
    bytes.erase(std::unique(bytes.begin(), bytes.end()), bytes.end());
    return bytes;
}

// The steps into cell `i` from each of `previous` that can still reach
// `target` by the lead's last cell, the cheapest for each state and edge.
std::vector<Step> nextSteps(std::span<const CellCosts> cells, std::span<const std::uint8_t> own, std::size_t i,
                            const std::vector<Step>& previous, const ChipState& target)
{
    std::vector<Step> steps;
    std::map<std::uint32_t, std::size_t> index;
    const int left = kLeadCells - 1 - static_cast<int>(i);
    for (std::size_t from = 0; from < previous.size(); ++from)
        for (const std::uint8_t byte : tried(cells, i, previous[from].state, own[i])) {
            Step step = previous[from];
            step.from = static_cast<int>(from);
            step.byte = byte;
            const CellLook look = showCell(step.state, byte);
            if (cellsNeeded(step.state, target) > left)
                continue;
            step.cost += lookCost(cells[i], look);
            if (i == 0)
                step.first = look;
            else if (i == 1)
                step.edge = litEdge(std::array<CellLook, 2>{step.first, look}) ? 1 : 0;
            const auto [at, added] = index.try_emplace(stateKey(step), steps.size());
            if (added)
                steps.push_back(step);
            else if (step.cost < steps[at->second].cost)
                steps[at->second] = step;
        }
    return steps;
}

Lead tracedBack(const std::vector<std::vector<Step>>& layers, std::size_t last)
{
    Lead lead;
    const Step& end = layers.back()[last];
    lead.cost = end.cost;
    lead.lit = end.edge == 1;
    std::size_t at = last;
    for (std::size_t i = layers.size(); i-- > 0;) {
        lead.bytes[i] = layers[i][at].byte;
        at = static_cast<std::size_t>(layers[i][at].from);
    }
    return lead;
}

// The row's own lead as a Lead, and the state it leaves the chip in.
Lead ownLead(std::span<const CellCosts> cells, std::span<const std::uint8_t> own, ChipState& after)
{
    Lead lead;
    std::array<CellLook, kLeadCells> looks;
    for (std::size_t i = 0; i < static_cast<std::size_t>(kLeadCells); ++i) {
        lead.bytes[i] = own[i];
        looks[i] = showCell(after, own[i]);
        lead.cost += lookCost(cells[i], looks[i]);
    }
    lead.lit = litEdge(looks);
    return lead;
}

}  // namespace

EdgeLeads edgeLeads(std::span<const CellCosts> cells, std::span<const std::uint8_t> own)
{
    assert(cells.size() >= static_cast<std::size_t>(kLeadCells) && own.size() >= static_cast<std::size_t>(kLeadCells));
    ChipState target;
    EdgeLeads leads{ownLead(cells, own, target), std::nullopt};
    std::vector<std::vector<Step>> layers;
    std::vector<Step> previous{Step{}};
    for (std::size_t i = 0; i < static_cast<std::size_t>(kLeadCells); ++i) {
        layers.push_back(nextSteps(cells, own, i, previous, target));
        previous = layers.back();
    }
    const int otherEdge = leads.own.lit ? 0 : 1;
    for (std::size_t last = 0; last < previous.size(); ++last) {
        const Step& step = previous[last];
        if (step.edge == otherEdge && step.state == target && (!leads.other || step.cost < leads.other->cost))
            leads.other = tracedBack(layers, last);
    }
    return leads;
}
