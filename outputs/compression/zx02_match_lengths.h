#pragma once

#include <algorithm>
#include <array>
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
// of those in each block of kBlock offsets, so that a search for long
// matches can pass over most blocks.
class MatchLengths {
public:
    static constexpr int kBlock = 64;

    explicit MatchLengths(std::span<const std::uint8_t> data);

    // The lengths after `at` bytes; positions are counted in order from 1.
    void count(int at);

    int run(int offset) const { return runs_[static_cast<std::size_t>(offset)]; }
    int ending(int offset) const { return ending_[static_cast<std::size_t>(offset)]; }
    int longestEnding(int block) const { return blockEnding_[static_cast<std::size_t>(block)]; }

    // The blocks among the first `offsets` offsets whose longest match
    // ending here reaches `shortest`, the longest first (nearest first
    // among equals).
    const std::vector<int>& blocksByLongestEnding(int offsets, int shortest);

    // The nearest offset from `first` to `last` with the longest match, and
    // its length; a length of 0 when none matches.
    std::pair<int, int> nearestLongest(int first, int last) const;

private:
    std::span<const std::uint8_t> data_;
    std::vector<std::uint8_t> reversed_;  // the data last byte first
    std::vector<std::uint8_t> runs_;
    std::vector<std::uint8_t> ending_;  // 0 for the matches that go on
    std::array<std::uint8_t, kMaxOffset / kBlock + 1> blockEnding_{};
    std::vector<int> blockOrder_;
};

namespace detail {

// A loop the compiler vectorises: lengths stop at 255 without a branch;
// `ending` keeps those of the matches that end here, where `before[i - 1]`,
// the byte offset i + 1 copies next, is not `next`.
inline void countAll(const std::uint8_t* before, std::uint8_t* runs, std::uint8_t* ending, int count,
                     std::uint8_t last, std::uint8_t next)
{
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        const std::uint8_t run = runs[i];
        const auto grown = static_cast<std::uint8_t>(run + (run != 255 ? 1 : 0));
        const auto counted = static_cast<std::uint8_t>(grown & (before[i] == last ? 0xFF : 0));
        runs[i] = counted;
        ending[i] = static_cast<std::uint8_t>(counted & (before[i - 1] != next ? 0xFF : 0));
    }
}

// Vectorised too; a whole block's loop runs a constant number of times
// (Count; 0 for the last, shorter block).
template <int Count>
std::uint8_t longestIn(const std::uint8_t* runs, int count)
{
    const auto n = static_cast<std::size_t>(Count > 0 ? Count : count);
    std::uint8_t longest = 0;
    for (std::size_t i = 0; i < n; ++i)
        longest = std::max(longest, runs[i]);
    return longest;
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
    detail::countAll(before + 1, runs_.data() + 1, ending_.data() + 1, offsets, last, next);
    if (at == size)  // every match ends here
        std::copy(runs_.begin(), runs_.end(), ending_.begin());
    for (int base = 1; base <= offsets; base += kBlock) {
        const auto block = static_cast<std::size_t>((base - 1) / kBlock);
        const int count = std::min(kBlock, offsets + 1 - base);
        const std::uint8_t* ending = &ending_[static_cast<std::size_t>(base)];
        blockEnding_[block] = count == kBlock ? detail::longestIn<kBlock>(ending, kBlock) : detail::longestIn<0>(ending, count);
    }
}

// A counting sort on the blocks' longest ending match.
inline const std::vector<int>& MatchLengths::blocksByLongestEnding(int offsets, int shortest)
{
    std::array<int, 257> starts{};
    const int blocks = (offsets - 1) / kBlock + 1;
    for (int block = 0; block < blocks; ++block)
        ++starts[static_cast<std::size_t>(255 - blockEnding_[static_cast<std::size_t>(block)]) + 1];
    for (std::size_t i = 1; i < starts.size(); ++i)
        starts[i] += starts[i - 1];
    const auto wanted = static_cast<std::size_t>(starts[static_cast<std::size_t>(256 - shortest)]);
    blockOrder_.resize(static_cast<std::size_t>(blocks));
    for (int block = 0; block < blocks; ++block) {
        const std::uint8_t longest = blockEnding_[static_cast<std::size_t>(block)];
        if (longest >= shortest)
            blockOrder_[static_cast<std::size_t>(starts[static_cast<std::size_t>(255 - longest)]++)] = block;
    }
    blockOrder_.resize(wanted);
    return blockOrder_;
}

inline std::pair<int, int> MatchLengths::nearestLongest(int first, int last) const
{
    const std::uint8_t* runs = runs_.data() + first;
    const auto count = last + 1 - first;
    const std::uint8_t longest = detail::longestIn<0>(runs, count);
    if (longest == 0)
        return {0, 0};
    const auto* nearest = static_cast<const std::uint8_t*>(std::memchr(runs, longest, static_cast<std::size_t>(count)));
    return {static_cast<int>(nearest - runs) + first, longest};
}

}  // namespace zx02
