#include "conversion/teletext/row_programme.h"

#include "conversion/teletext_screen.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <limits>

namespace {

constexpr std::array<std::uint8_t, 13> kCodes{0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97,
                                              teletext_code::contiguous, teletext_code::separated,
                                              teletext_code::blackBackground, teletext_code::newBackground,
                                              teletext_code::holdGraphics, teletext_code::releaseGraphics};

// A chip state packed into 16 bits: the bucket (colours and modes) above the
// held mosaic and its style.
using StateKey = std::uint16_t;
constexpr int kBuckets = 512;

StateKey keyOf(const ChipState& s)
{
    const int bucket = s.foreground | s.background << 3 | s.graphics << 6 | s.separated << 7 | s.hold << 8;
    return static_cast<StateKey>(bucket << 7 | s.held | s.heldSeparated << 6);
}

ChipState stateOf(StateKey key)
{
    ChipState s;
    s.held = key & 63;
    s.heldSeparated = (key >> 6 & 1) != 0;
    s.foreground = key >> 7 & 7;
    s.background = key >> 10 & 7;
    s.graphics = (key >> 13 & 1) != 0;
    s.separated = (key >> 14 & 1) != 0;
    s.hold = (key >> 15 & 1) != 0;
    return s;
}

struct Slot {
    StateKey key = 0;
    float cost = 0;
    int from = -1;          // slot of the previous cell's layer
    std::uint8_t byte = 0;  // the character that led here
};

// The states reached after one cell, at most `heldPerBucket` per bucket.
class Layer {
public:
    explicit Layer(int heldPerBucket)
        : perBucket_(heldPerBucket), index_(static_cast<std::size_t>(kBuckets * heldPerBucket), -1) {}

    void offer(const Slot& candidate);
    // Keeps the `width` cheapest states (all when width is 0), in a fixed order.
    std::vector<Slot> kept(int width) const;

private:
    int perBucket_;
    std::vector<int> index_;  // per bucket, the slots holding its held mosaics
    std::vector<Slot> slots_;
};

void Layer::offer(const Slot& candidate)
{
    const auto first = static_cast<std::size_t>((candidate.key >> 7) * perBucket_);
    int worst = -1;
    for (std::size_t i = first; i < first + static_cast<std::size_t>(perBucket_); ++i) {
        const int at = index_[i];
        if (at < 0) {
            index_[i] = static_cast<int>(slots_.size());
            slots_.push_back(candidate);
            return;
        }
        Slot& slot = slots_[static_cast<std::size_t>(at)];
        if (slot.key == candidate.key) {
            if (candidate.cost < slot.cost)
                slot = candidate;
            return;
        }
        if (worst < 0 || slot.cost > slots_[static_cast<std::size_t>(worst)].cost)
            worst = at;
    }
    if (candidate.cost < slots_[static_cast<std::size_t>(worst)].cost)
        slots_[static_cast<std::size_t>(worst)] = candidate;
}

std::vector<Slot> Layer::kept(int width) const
{
    std::vector<Slot> result = slots_;
    const auto cheaper = [](const Slot& a, const Slot& b) {
        return a.cost != b.cost ? a.cost < b.cost : a.key < b.key;
    };
    if (width > 0 && result.size() > static_cast<std::size_t>(width)) {
        std::nth_element(result.begin(), result.begin() + width, result.end(), cheaper);
        result.resize(static_cast<std::size_t>(width));
    }
    std::sort(result.begin(), result.end(), cheaper);
    return result;
}

// The characters worth trying in cell `i` from `state`: every control code
// (the only choice in column 0), and mosaics: all of them, or in graphics
// mode those cheapest here and in the next cell (which a held mosaic shows).
struct Candidates {
    std::array<std::uint8_t, kCodes.size() + 64> bytes{};
    std::size_t count = 0;

    void push_back(std::uint8_t byte) { bytes[count++] = byte; }
    const std::uint8_t* begin() const { return bytes.data(); }
    const std::uint8_t* end() const { return bytes.data() + count; }
};

Candidates candidates(std::span<const CellCosts> cells, std::size_t i, const ChipState& state,
                      const RowSearch& search)
{
    Candidates bytes;
    for (const std::uint8_t code : kCodes)
        bytes.push_back(code);
    if (i == 0)
        return bytes;
    if (search.everyMosaic) {
        for (int sixels = 0; sixels < 64; ++sixels)
            bytes.push_back(mosaicByte(static_cast<Sixels>(sixels)));
    } else if (state.graphics) {
        const Sixels here = cheapestSixels(cells[i], state.foreground, state.background, state.separated);
        bytes.push_back(mosaicByte(here));
        if (i + 1 < cells.size()) {
            const Sixels next = cheapestSixels(cells[i + 1], state.foreground, state.background, state.separated);
            if (next != here)
                bytes.push_back(mosaicByte(next));
        }
    }
    return bytes;
}

RowPlan tracedBack(const std::vector<std::vector<Slot>>& layers)
{
    RowPlan plan;
    plan.bytes.resize(layers.size());
    plan.cost = layers.back().front().cost;
    int at = 0;
    for (std::size_t i = layers.size(); i-- > 0;) {
        const Slot& slot = layers[i][static_cast<std::size_t>(at)];
        plan.bytes[i] = slot.byte;
        at = slot.from;
    }
    return plan;
}

}  // namespace

Sixels cheapestSixels(const CellCosts& costs, int fg, int bg, bool separated)
{
    Sixels sixels = 0;
    for (std::size_t s = 0; s < 6; ++s) {
        const float lit = separated ? costs.dotted[s][static_cast<std::size_t>(fg * 8 + bg)] : costs.plain[s][static_cast<std::size_t>(fg)];
        if (lit < costs.plain[s][static_cast<std::size_t>(bg)])
            sixels |= static_cast<Sixels>(1 << s);
    }
    return sixels;
}

std::span<const std::uint8_t> rowControlCodes()
{
    return kCodes;
}

RowPlan planRow(std::span<const CellCosts> cells, const RowSearch& search)
{
    assert(!cells.empty() && search.heldPerBucket >= 1 && search.heldPerBucket <= 128);
    std::vector<std::vector<Slot>> layers;
    std::vector<Slot> previous{Slot{keyOf(ChipState{}), 0, -1, 0}};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        Layer layer(search.heldPerBucket);
        for (std::size_t from = 0; from < previous.size(); ++from) {
            const ChipState state = stateOf(previous[from].key);
            for (const std::uint8_t byte : candidates(cells, i, state, search)) {
                ChipState next = state;
                const float cost = lookCost(cells[i], showCell(next, byte));
                layer.offer(Slot{keyOf(next), previous[from].cost + cost, static_cast<int>(from), byte});
            }
        }
        layers.push_back(layer.kept(search.beamWidth));
        previous = layers.back();
    }
    return tracedBack(layers);
}

float rowCost(std::span<const CellCosts> cells, std::span<const std::uint8_t> bytes)
{
    assert(cells.size() == bytes.size());
    ChipState state;
    float sum = 0;
    for (std::size_t i = 0; i < cells.size(); ++i)
        sum += lookCost(cells[i], showCell(state, bytes[i]));
    return sum;
}
