#include "conversion/teletext/clean_margin.h"

#include "conversion/teletext/edge_leads.h"
#include "conversion/teletext/sixel_costs.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <vector>

namespace {

std::vector<EdgeLeads> leadsOfRows(const TeletextScreen& screen, const LinearImage& picture)
{
    const LinearImage samples = sixelSamples(picture);
    std::vector<EdgeLeads> rows;
    for (int row = 0; row < kTeletextRows; ++row) {
        std::array<std::uint8_t, kLeadCells> own;
        for (int i = 0; i < kLeadCells; ++i)
            own[static_cast<std::size_t>(i)] = screen.at(i, row);
        rows.push_back(edgeLeads(rowCosts(samples, row), own));
    }
    return rows;
}

// What showing edge `edge` (0 dark, 1 lit) costs a row beyond its own
// lead, absent where no lead tried shows it. A lead cheaper than the own
// by the sixel costs counts as costing the same: the own lead was chosen by
// the blurred search, which judges the picture better, so only the flips
// may earn a change, and the pass never adds one.
std::optional<float> extraCost(const EdgeLeads& leads, int edge)
{
    if (leads.own.lit == (edge == 1))
        return 0.0f;
    if (!leads.other)
        return std::nullopt;
    return std::max(0.0f, leads.other->cost - leads.own.cost);
}

// A running total: the cost, then the rows whose own lead was replaced
// (of two equal costs, the one that changes fewer rows wins).
struct Total {
    float cost = 0;
    int changes = 0;

    bool operator<(const Total& other) const
    {
        return cost != other.cost ? cost < other.cost : changes < other.changes;
    }
};

// The edge of every row whose extra costs and flips cost least in all: the
// least total of each edge so far, row by row, then traced back.
std::vector<int> cheapestEdges(const std::vector<EdgeLeads>& rows, float flipCost)
{
    constexpr Total kNone{std::numeric_limits<float>::infinity(), 0};
    std::vector<std::array<Total, 2>> total(rows.size());
    std::vector<std::array<int, 2>> from(rows.size(), {0, 1});
    for (std::size_t row = 0; row < rows.size(); ++row)
        for (int edge = 0; edge < 2; ++edge) {
            const std::optional<float> extra = extraCost(rows[row], edge);
            Total best = row == 0 ? Total{} : kNone;
            for (int above = 0; row > 0 && above < 2; ++above) {
                Total candidate = total[row - 1][static_cast<std::size_t>(above)];
                candidate.cost += above == edge ? 0 : flipCost;
                if (candidate < best) {
                    best = candidate;
                    from[row][static_cast<std::size_t>(edge)] = above;
                }
            }
            const bool own = rows[row].own.lit == (edge == 1);
            total[row][static_cast<std::size_t>(edge)] =
                extra ? Total{best.cost + *extra, best.changes + (own ? 0 : 1)} : kNone;
        }
    std::vector<int> edges(rows.size());
    int edge = total.back()[1] < total.back()[0] ? 1 : 0;
    for (std::size_t row = rows.size(); row-- > 0;) {
        edges[row] = edge;
        edge = from[row][static_cast<std::size_t>(edge)];
    }
    return edges;
}

}  // namespace

void cleanLeftMargin(TeletextScreen& screen, const LinearImage& picture, float flipCost)
{
    const std::vector<EdgeLeads> rows = leadsOfRows(screen, picture);
    const std::vector<int> edges = cheapestEdges(rows, flipCost);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const EdgeLeads& leads = rows[row];
        const Lead& lead = leads.own.lit == (edges[row] == 1) ? leads.own : *leads.other;
        for (int i = 0; i < kLeadCells; ++i)
            screen.at(i, static_cast<int>(row)) = lead.bytes[static_cast<std::size_t>(i)];
    }
}
