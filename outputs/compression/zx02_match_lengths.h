#pragma once

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "outputs/compression/zx02_codes.h"

namespace zx02 {

// Header-only: the parse calls it at every byte, and it is faster inlined
// there.
//
// How long the match at every offset (1 to kMaxOffset) is up to a
// position, counted afresh at each position in one pass over all offsets:
// one byte per offset, counting stops at 255. Also kept: the lengths of the
// matches that end there (the next byte does not match), and the longest
// match and longest ending match in each block of kBlock offsets, so that
// searches for long matches can pass over most blocks.
class MatchLengths {
public:
    static constexpr int kBlock = 64;

    explicit MatchLengths(std::span<const std::uint8_t> data);

    // The lengths after `at` bytes; positions are counted in order from 1.
    void count(int at);

    int run(int offset) const { return runs_[static_cast<std::size_t>(offset)]; }
    int ending(int offset) const { return ending_[static_cast<std::size_t>(offset)]; }
    int longestEnding(int block) const { return blockEnding_[static_cast<std::size_t>(block)]; }

    // The longest length that at least `many` blocks' longest ending
    // matches reach, 0 when fewer blocks have one: at least `many` offsets'
    // matches ending here are that long, so the `many` longest are among
    // the blocks and the matches reaching it.
    int longestEndingInMany(int many) const;

    // The nearest offset from `first` to `last` with the longest match, and
    // its length; a length of 0 when none matches. `first` starts a block.
    std::pair<int, int> nearestLongest(int first, int last) const;

private:
    static std::size_t blockOf(int offset) { return static_cast<std::size_t>((offset - 1) / kBlock); }

    std::span<const std::uint8_t> data_;
    std::vector<std::uint8_t> reversed_;  // the data last byte first
    std::vector<std::uint8_t> runs_;
    std::vector<std::uint8_t> ending_;  // 0 for the matches that go on
    std::array<std::uint8_t, kMaxOffset / kBlock + 1> blockRun_{};
    std::array<std::uint8_t, kMaxOffset / kBlock + 1> blockEnding_{};
    int blocks_ = 0;  // those counted at this position
};

namespace detail {

// A loop the compiler vectorises, a whole block's a constant number of
// times (Count; 0 for the last, shorter block): lengths stop at 255 without
// a branch; `ending` keeps those of the matches that end here, where
// `before[i - 1]`, the byte offset i + 1 copies next, is not `next`.
// Returns the block's longest match and longest ending match.
template <int Count>
std::pair<std::uint8_t, std::uint8_t> countBlock(const std::uint8_t* before, std::uint8_t* runs, std::uint8_t* ending,
                                                 int count, std::uint8_t last, std::uint8_t next)
{
    const auto n = static_cast<std::size_t>(Count > 0 ? Count : count);
    std::uint8_t longest = 0;
    std::uint8_t longestEnding = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t run = runs[i];
        const auto grown = static_cast<std::uint8_t>(run + (run != 255 ? 1 : 0));
        const auto counted = static_cast<std::uint8_t>(grown & (before[i] == last ? 0xFF : 0));
        const auto ends = static_cast<std::uint8_t>(counted & (before[i - 1] != next ? 0xFF : 0));
        runs[i] = counted;
        ending[i] = ends;
        longest = std::max(longest, counted);
        longestEnding = std::max(longestEnding, ends);
    }
    return {longest, longestEnding};
}

}  // namespace detail

inline MatchLengths::MatchLengths(std::span<const std::uint8_t> data)
    : data_(data), reversed_(data.rbegin(), data.rend()), runs_(kMaxOffset + 1, 0), ending_(kMaxOffset + 1, 0)
{
}

inline void MatchLengths::count(int at)
{
    const auto size = static_cast<int>(data_.size());
    const std::uint8_t last = data_[static_cast<std::size_t>(at - 1)];
    const std::uint8_t* before = reversed_.data() + (size - at);  // before[o] is the byte o before the last
    const int offsets = std::min(at - 1, kMaxOffset);
    const std::uint8_t next = at < size ? data_[static_cast<std::size_t>(at)] : 0;
    blocks_ = offsets > 0 ? static_cast<int>(blockOf(offsets)) + 1 : 0;
    for (int base = 1; base <= offsets; base += kBlock) {
        const auto o = static_cast<std::size_t>(base);
        const int count = std::min(kBlock, offsets + 1 - base);
        const auto [longest, longestEnding] =
            count == kBlock
                ? detail::countBlock<kBlock>(before + o, &runs_[o], &ending_[o], kBlock, last, next)
                : detail::countBlock<0>(before + o, &runs_[o], &ending_[o], count, last, next);
        blockRun_[blockOf(base)] = longest;
        blockEnding_[blockOf(base)] = longestEnding;
    }
    if (at == size) {  // every match ends here
        std::copy(runs_.begin(), runs_.end(), ending_.begin());
        std::copy(blockRun_.begin(), blockRun_.end(), blockEnding_.begin());
    }
}

// The `many` longest block maxima, kept in order by insertion: past the
// first few blocks, nearly every block is one comparison.
inline int MatchLengths::longestEndingInMany(int many) const
{
    std::array<std::uint8_t, 64> longest{};
    assert(many >= 1 && many <= static_cast<int>(longest.size()));
    const auto kept = static_cast<std::size_t>(many);
    for (int block = 0; block < blocks_; ++block) {
        const std::uint8_t value = blockEnding_[static_cast<std::size_t>(block)];
        if (value <= longest[kept - 1])
            continue;
        std::size_t i = kept - 1;
        for (; i > 0 && longest[i - 1] < value; --i)
            longest[i] = longest[i - 1];
        longest[i] = value;
    }
    return longest[kept - 1];
}

inline std::pair<int, int> MatchLengths::nearestLongest(int first, int last) const
{
    const std::size_t firstBlock = blockOf(first);
    const std::size_t lastBlock = blockOf(last);
    const auto* blocks = blockRun_.data();
    const auto* longestBlock = std::max_element(blocks + firstBlock, blocks + lastBlock + 1);
    const std::uint8_t longest = *longestBlock;
    if (longest == 0)
        return {0, 0};
    const int base = static_cast<int>(longestBlock - blocks) * kBlock + 1;
    const std::uint8_t* runs = runs_.data() + base;
    const auto* nearest = static_cast<const std::uint8_t*>(std::memchr(runs, longest, kBlock));
    return {static_cast<int>(nearest - runs) + base, longest};
}

}  // namespace zx02
