#include "outputs/compression/zx02.h"

#include "outputs/compression/zx02_codes.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <climits>

// The parse is a shortest path over the states the format can be in after
// a block: where it is, the last offset, and whether the block was a literal
// run (only then may a copy from the last offset follow, and never another
// run). At every position it keeps the cheapest few states of each kind with
// different last offsets, so that an offset left behind for a while can
// still be taken up again; the copies tried are, for every length, the
// nearest earlier match of at least that length, and the last offset of
// every literal state kept.
namespace {

using zx02::eliasBits;
using zx02::kMaxLength;
using zx02::kMaxOffset;

constexpr int kKeptStates = 6;   // per position and kind
constexpr int kChainDepth = 192; // earlier places with the same two bytes looked at

enum Kind : int { AfterCopy = 0, AfterLiterals = 1 };

struct State {
    int bits = INT_MAX;
    int from = -1;             // the state before this block, -1 for the start
    std::uint16_t last = 1;    // the last offset
    std::uint16_t length = 0;  // this block's length
    std::uint16_t offset = 0;  // this block's copy offset, 0 for literals
    bool fromLast = false;     // a copy from the last offset
};

// The length code of a copy of `length`: from the last offset the code of
// the length, from a new one the code of length - 1, or of 256 for 1.
constexpr int copyLengthBits(bool fromLast, int length)
{
    return fromLast ? eliasBits(length) : eliasBits(length == 1 ? 256 : length - 1);
}

class StateTable {
public:
    explicit StateTable(std::size_t positions) : states_(positions * 2 * kKeptStates), counts_(positions * 2, 0) {}

    int index(std::size_t at, Kind kind, int slot) const
    {
        return static_cast<int>((at * 2 + kind) * kKeptStates + static_cast<std::size_t>(slot));
    }
    int count(std::size_t at, Kind kind) const { return counts_[at * 2 + kind]; }
    const State& operator[](int index) const { return states_[static_cast<std::size_t>(index)]; }

    // Keeps `state` if it is cheaper than the one with its last offset, or
    // than the dearest when all places are taken by other offsets.
    void offer(std::size_t at, Kind kind, const State& state)
    {
        std::uint8_t& used = counts_[at * 2 + kind];
        State* slots = &states_[(at * 2 + kind) * kKeptStates];
        State* dearest = slots;
        for (int i = 0; i < used; ++i) {
            if (slots[i].last == state.last) {
                if (state.bits < slots[i].bits)
                    slots[i] = state;
                return;
            }
            if (slots[i].bits > dearest->bits)
                dearest = &slots[i];
        }
        if (used < kKeptStates)
            slots[used++] = state;
        else if (state.bits < dearest->bits)
            *dearest = state;
    }

private:
    std::vector<State> states_;
    std::vector<std::uint8_t> counts_;
};

// The nearest earlier match of each longer length at a position: offsets
// rising, lengths rising.
struct Candidate {
    int offset;
    int length;
};

class MatchFinder {
public:
    explicit MatchFinder(std::span<const std::uint8_t> data)
        : data_(data), previous_(data.size(), -1)
    {
        heads_.fill(-1);
        lastByte_.fill(-1);
    }

    int commonLength(std::size_t at, std::size_t earlier, int limit) const
    {
        int length = 0;
        while (length < limit && data_[at + static_cast<std::size_t>(length)] ==
                                     data_[earlier + static_cast<std::size_t>(length)])
            ++length;
        return length;
    }

    // Candidates at `at`, before `at` itself is added.
    void find(std::size_t at, std::vector<Candidate>& found) const
    {
        found.clear();
        const int limit = static_cast<int>(std::min<std::size_t>(kMaxLength, data_.size() - at));
        const int sameByte = lastByte_[data_[at]];
        if (sameByte < 0 || static_cast<int>(at) - sameByte > kMaxOffset)
            return;
        found.push_back({static_cast<int>(at) - sameByte, 1});
        if (limit >= 2)
            searchChain(at, limit, found);
    }

    void searchChain(std::size_t at, int limit, std::vector<Candidate>& found) const
    {
        int best = 1;
        int depth = 0;
        for (int earlier = heads_[key(at)]; earlier >= 0 && depth < kChainDepth;
             earlier = previous_[static_cast<std::size_t>(earlier)], ++depth) {
            const int offset = static_cast<int>(at) - earlier;
            if (offset > kMaxOffset)
                break;
            // Only a longer match is wanted: its byte at the best length so far must agree.
            if (data_[at + static_cast<std::size_t>(best)] != data_[static_cast<std::size_t>(earlier + best)])
                continue;
            const int length = commonLength(at, static_cast<std::size_t>(earlier), limit);
            if (length > best) {
                found.push_back({offset, length});
                best = length;
                if (length == limit)
                    break;
            }
        }
    }

    void add(std::size_t at)
    {
        lastByte_[data_[at]] = static_cast<int>(at);
        if (at + 1 < data_.size()) {
            previous_[at] = heads_[key(at)];
            heads_[key(at)] = static_cast<int>(at);
        }
    }

private:
    std::size_t key(std::size_t at) const { return static_cast<std::size_t>(data_[at] << 8 | data_[at + 1]); }

    std::span<const std::uint8_t> data_;
    std::vector<int> previous_;
    std::array<int, 65536> heads_;
    std::array<int, 256> lastByte_;
};

class Parser {
public:
    explicit Parser(std::span<const std::uint8_t> data) : data_(data), table_(data.size() + 1), finder_(data) {}

    // The cheapest state at the end, its blocks chained back to the start.
    int run()
    {
        // The first block is always a literal run and has no flag bit.
        table_.offer(0, AfterCopy, {-1, -1, 1, 0, 0});
        std::vector<Candidate> candidates;
        for (std::size_t at = 0; at < data_.size(); ++at) {
            const int cheapest = cheapestAt(at);
            extendLiterals(at);
            extendCopies(at);
            copyLastOffset(at);
            if (at > 0) {
                finder_.find(at, candidates);
                copyNewOffsets(at, cheapest, candidates);
            }
            finder_.add(at);
        }
        return cheapestAt(data_.size());
    }

    const StateTable& table() const { return table_; }

private:
    int cheapestAt(std::size_t at) const
    {
        int best = -1;
        for (const Kind kind : {AfterCopy, AfterLiterals})
            for (int slot = 0; slot < table_.count(at, kind); ++slot) {
                const int index = table_.index(at, kind, slot);
                if (best < 0 || table_[index].bits < table_[best].bits)
                    best = index;
            }
        return best;
    }

    // A run starts after a copy and grows by one byte at a time.
    void extendLiterals(std::size_t at)
    {
        for (int slot = 0; slot < table_.count(at, AfterCopy); ++slot) {
            const int index = table_.index(at, AfterCopy, slot);
            const State& state = table_[index];
            table_.offer(at + 1, AfterLiterals, {state.bits + 1 + eliasBits(1) + 8, index, state.last, 1, 0});
        }
        for (int slot = 0; slot < table_.count(at, AfterLiterals); ++slot) {
            const State& run = table_[table_.index(at, AfterLiterals, slot)];
            if (run.length == kMaxLength)
                continue;
            const int grown = run.bits + 8 + eliasBits(run.length + 1) - eliasBits(run.length);
            table_.offer(at + 1, AfterLiterals,
                         {grown, run.from, run.last, static_cast<std::uint16_t>(run.length + 1), 0});
        }
    }

    // A copy grows by one byte at a time while the bytes agree, so that every
    // length of it is tried at the cost of one state per position.
    void extendCopies(std::size_t at)
    {
        for (int slot = 0; slot < table_.count(at, AfterCopy); ++slot) {
            const State& copy = table_[table_.index(at, AfterCopy, slot)];
            if (copy.length == 0 || copy.length == kMaxLength || data_[at] != data_[at - copy.last])
                continue;
            State grown = copy;
            grown.length = static_cast<std::uint16_t>(copy.length + 1);
            grown.bits += copyLengthBits(copy.fromLast, grown.length) - copyLengthBits(copy.fromLast, copy.length);
            table_.offer(at + 1, AfterCopy, grown);
        }
    }

    void copyLastOffset(std::size_t at)
    {
        for (int slot = 0; slot < table_.count(at, AfterLiterals); ++slot) {
            const int index = table_.index(at, AfterLiterals, slot);
            const State& state = table_[index];
            if (state.last <= at && data_[at] == data_[at - state.last])
                table_.offer(at + 1, AfterCopy,
                             {state.bits + 1 + eliasBits(1), index, state.last, 1, state.last, true});
        }
    }

    // Every nearest match starts as a copy of two bytes (or of one, which
    // can end a run that reached its longest) and grows from there.
    void copyNewOffsets(std::size_t at, int cheapest, const std::vector<Candidate>& candidates)
    {
        const int bits = table_[cheapest].bits;
        int shorter = 0;
        for (const Candidate& candidate : candidates) {
            const auto offset = static_cast<std::uint16_t>(candidate.offset);
            const auto offer = [&](int length) {
                table_.offer(at + static_cast<std::size_t>(length), AfterCopy,
                             {bits + zx02::newCopyBits(offset, length), cheapest, offset,
                              static_cast<std::uint16_t>(length), offset, false});
            };
            // Also where it is the nearest match, in case the short copy was not kept.
            offer(std::min(candidate.length, 2));
            if (shorter + 1 > 2)
                offer(shorter + 1);
            shorter = candidate.length;
        }
    }

    std::span<const std::uint8_t> data_;
    StateTable table_;
    MatchFinder finder_;
};

// Bits go into bit bytes placed in the stream where their first bit falls,
// filled from the top bit down, between the literal and offset bytes.
class StreamWriter {
public:
    void byte(std::uint8_t value) { stream_.push_back(value); }

    void bit(int value)
    {
        if (intoOffsetByte_) {
            stream_.back() = static_cast<std::uint8_t>(stream_.back() | value);
            intoOffsetByte_ = false;
            return;
        }
        if (mask_ == 0) {
            bitByte_ = stream_.size();
            stream_.push_back(0);
            mask_ = 0x80;
        }
        if (value)
            stream_[bitByte_] = static_cast<std::uint8_t>(stream_[bitByte_] | mask_);
        mask_ >>= 1;
    }

    void elias(int value)
    {
        assert(value >= 1 && value <= kMaxLength);
        int top = 1;
        while (top * 2 <= value)
            top *= 2;
        for (top >>= 1; top > 0; top >>= 1) {
            bit(1);
            bit((value & top) ? 1 : 0);
        }
        bit(0);
    }

    // The next bit goes into the low bit of the offset byte just written.
    void nextBitIntoOffsetByte() { intoOffsetByte_ = true; }

    std::vector<std::uint8_t> take() { return std::move(stream_); }

private:
    std::vector<std::uint8_t> stream_;
    std::size_t bitByte_ = 0;
    int mask_ = 0;
    bool intoOffsetByte_ = false;
};

// The blocks of the cheapest parse, first to last.
std::vector<State> chain(const StateTable& table, int last)
{
    std::vector<State> blocks;
    for (int index = last; table[index].from >= 0 || table[index].length > 0; index = table[index].from)
        blocks.push_back(table[index]);
    std::reverse(blocks.begin(), blocks.end());
    return blocks;
}

void writeNewCopy(StreamWriter& out, int offset, int length)
{
    out.bit(1);
    out.elias((offset - 1) / 128 + 1);
    out.byte(static_cast<std::uint8_t>(((offset - 1) % 128) << 1));
    out.nextBitIntoOffsetByte();
    out.elias(length == 1 ? 256 : length - 1);
}

}  // namespace

std::vector<std::uint8_t> zx02Compress(std::span<const std::uint8_t> data)
{
    assert(!data.empty());
    Parser parser(data);
    const int end = parser.run();
    StreamWriter out;
    std::size_t at = 0;
    int lastOffset = 1;
    bool afterLiterals = false;
    bool first = true;
    for (const State& block : chain(parser.table(), end)) {
        if (block.offset == 0) {
            if (!first)
                out.bit(0);
            out.elias(block.length);
            for (int i = 0; i < block.length; ++i)
                out.byte(data[at + static_cast<std::size_t>(i)]);
            afterLiterals = true;
        } else if (afterLiterals && block.offset == lastOffset) {
            out.bit(0);
            out.elias(block.length);
            afterLiterals = false;
        } else {
            writeNewCopy(out, block.offset, block.length);
            lastOffset = block.offset;
            afterLiterals = false;
        }
        first = false;
        at += block.length;
    }
    assert(at == data.size());
    out.bit(1);
    out.elias(256);
    return out.take();
}
