#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define RASTERINE_ZX02_AVX2 1
#include <immintrin.h>
#endif
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
// one byte per offset, counting stops at 255. Also kept: the longest match
// and the longest match that ends there (the next byte does not match) in
// each block of kBlock offsets, so that searches for long matches can pass
// over most blocks; whether a match ends is worked out when asked.
class MatchLengths {
public:
    static constexpr int kBlock = 64;

    explicit MatchLengths(std::span<const std::uint8_t> data);

    // The lengths after `at` bytes; positions are counted in order from 1.
    void count(int at);

    int run(int offset) const { return runs_[static_cast<std::size_t>(offset)]; }
    int ending(int offset) const
    {
        const auto o = static_cast<std::size_t>(offset);
        return atEnd_ || before_[o - 1] != next_ ? runs_[o] : 0;
    }
    int longestEnding(int block) const { return blockEnding_[static_cast<std::size_t>(block)]; }

    // Which of the sixteen blocks from `first` have a match ending here at
    // least `shortest` long: bit i for block first + i.
    std::uint32_t blocksEndingAtLeast(int first, int shortest) const;

    // The longest length that at least `many` blocks' longest ending
    // matches reach, 0 when fewer blocks have one:
    // at least `many` offsets' matches ending here are that long, so the
    // `many` longest are among the blocks and the matches reaching it.
    int longestEndingInMany(int many) const;

    // Which of a block's offsets have a match ending here at least
    // `shortest` long, not counting those `skip` marks: bit i for offset
    // base + i.
    std::uint64_t endingAtLeast(int block, int shortest, const std::uint8_t* skip) const;

    // The nearest offset from `first` to `last` with the longest match, and
    // its length; a length of 0 when none matches. `first` starts a block.
    std::pair<int, int> nearestLongest(int first, int last) const;

private:
    static std::size_t blockOf(int offset) { return static_cast<std::size_t>((offset - 1) / kBlock); }

    std::span<const std::uint8_t> data_;
    std::vector<std::uint8_t> reversed_;  // the data last byte first, then a block of zeros (see endingAtLeast)
    std::vector<std::uint8_t> runs_;
    // Whole sixteens of blocks, those past the last counted 0.
    static constexpr std::size_t kBlockSlots = (kMaxOffset / kBlock + 16) / 16 * 16;
    std::array<std::uint8_t, kBlockSlots> blockRun_{};
    std::array<std::uint8_t, kBlockSlots> blockEnding_{};
    std::array<std::uint8_t, kBlock> partRun_{};  // the last block's, offset by offset
    std::array<std::uint8_t, kBlock> partEnding_{};
    int blocks_ = 0;  // those counted at this position
    const std::uint8_t* before_ = nullptr;  // before_[o] is the byte o before the last
    std::uint8_t next_ = 0;  // the byte after the last
    bool atEnd_ = false;  // where every match ends
};

namespace detail {

// A loop the compiler vectorises, each block's a constant number of times:
// lengths stop at 255 without a branch. Each block's longest match goes
// into `blockRun`, and its longest match that ends here, where the byte
// offset i + 1 copies next, the one just before `before[i]`, is not `next`,
// into `blockEnding`. That byte is read through a pointer one byte back:
// an index of i - 1 would wrap around at the first offset. Restrict-qualified:
// the compiler cannot tell the arrays apart, and would check at every
// block.
template <int Block>
void countBlocks(const std::uint8_t* __restrict before, std::uint8_t* __restrict runs, std::uint8_t* __restrict blockRun, std::uint8_t* __restrict blockEnding, std::size_t blocks,
                 std::uint8_t last, std::uint8_t next)
{
    const std::uint8_t* copiedNext = before - 1;
    for (std::size_t block = 0; block < blocks; ++block) {
        std::uint8_t longest = 0;
        std::uint8_t longestEnding = 0;
        for (std::size_t j = 0; j < static_cast<std::size_t>(Block); ++j) {
            const std::size_t i = block * Block + j;
            const std::uint8_t run = runs[i];
            const auto grown = static_cast<std::uint8_t>(run + (run != 255 ? 1 : 0));
            const auto counted = static_cast<std::uint8_t>(grown & (before[i] == last ? 0xFF : 0));
            const auto ends = static_cast<std::uint8_t>(counted & (copiedNext[i] != next ? 0xFF : 0));
            runs[i] = counted;
            longest = std::max(longest, counted);
            longestEnding = std::max(longestEnding, ends);
        }
        blockRun[block] = longest;
        blockEnding[block] = longestEnding;
    }
}

#if defined(__SSE2__)
// The same count written for SSE2, which every x86-64 has: a saturating
// add stops lengths at 255 in one instruction, and the blocks' maxima are
// gathered sixteen blocks at a time, merging their vectors pairwise, rather
// than each vector folded onto itself. Together about 1.7 times as fast as
// what the compiler makes of the loop above.
inline __m128i maxOfEach(const __m128i (&blocks)[16])
{
    // Byte k of the result is the largest of vector k's bytes: each round
    // interleaves pairs and keeps the larger of the two halves, halving
    // the vectors while doubling how many of them each lane stands for.
    __m128i pairs[8];
    for (std::size_t k = 0; k < 8; ++k)
        pairs[k] = _mm_max_epu8(_mm_unpacklo_epi8(blocks[2 * k], blocks[2 * k + 1]),
                                _mm_unpackhi_epi8(blocks[2 * k], blocks[2 * k + 1]));
    __m128i fours[4];
    for (std::size_t k = 0; k < 4; ++k)
        fours[k] = _mm_max_epu8(_mm_unpacklo_epi16(pairs[2 * k], pairs[2 * k + 1]),
                                _mm_unpackhi_epi16(pairs[2 * k], pairs[2 * k + 1]));
    __m128i eights[2];
    for (std::size_t k = 0; k < 2; ++k)
        eights[k] = _mm_max_epu8(_mm_unpacklo_epi32(fours[2 * k], fours[2 * k + 1]),
                                 _mm_unpackhi_epi32(fours[2 * k], fours[2 * k + 1]));
    return _mm_max_epu8(_mm_unpacklo_epi64(eights[0], eights[1]), _mm_unpackhi_epi64(eights[0], eights[1]));
}

// The blocks a last, short group of sixteen has not counted.
inline void zeroUnused(__m128i (&longest)[16], __m128i (&longestEnding)[16], std::size_t group)
{
    for (std::size_t block = group; block < 16; ++block)
        longest[block] = longestEnding[block] = _mm_setzero_si128();
}

// The largest of each of a group's blocks' vectors, one byte a block.
inline void storeMaxima(const __m128i (&blocks)[16], std::size_t group, std::uint8_t* maxima)
{
    alignas(16) std::array<std::uint8_t, 16> bytes;
    _mm_store_si128(reinterpret_cast<__m128i*>(bytes.data()), maxOfEach(blocks));
    std::copy_n(bytes.begin(), group, maxima);
}

inline void countWholeBlocks(const std::uint8_t* before, std::uint8_t* runs, std::uint8_t* blockRun, std::uint8_t* blockEnding,
                             std::size_t blocks, std::uint8_t last, std::uint8_t next)
{
    static_assert(MatchLengths::kBlock % 16 == 0);
    constexpr std::size_t kVectors = MatchLengths::kBlock / 16;
    const __m128i one = _mm_set1_epi8(1);
    const __m128i lastByte = _mm_set1_epi8(static_cast<char>(last));
    const __m128i nextByte = _mm_set1_epi8(static_cast<char>(next));
    for (std::size_t first = 0; first < blocks; first += 16) {
        const std::size_t group = std::min<std::size_t>(16, blocks - first);
        // Not zeroed first: a string instruction the compiler makes of
        // that costs as much as the count itself. Only a last, short group
        // reads blocks it has not counted.
        __m128i longest[16];
        __m128i longestEnding[16];
        zeroUnused(longest, longestEnding, group);
        for (std::size_t block = 0; block < group; ++block) {
            __m128i most = _mm_setzero_si128();
            __m128i mostEnding = _mm_setzero_si128();
            for (std::size_t v = 0; v < kVectors; ++v) {
                const std::size_t i = ((first + block) * kVectors + v) * 16;
                auto* at = reinterpret_cast<__m128i*>(runs + i);
                const __m128i copied = _mm_loadu_si128(reinterpret_cast<const __m128i*>(before + i));
                const __m128i copiedNext = _mm_loadu_si128(reinterpret_cast<const __m128i*>(before + i - 1));
                const __m128i grown = _mm_adds_epu8(_mm_loadu_si128(at), one);
                const __m128i counted = _mm_and_si128(grown, _mm_cmpeq_epi8(copied, lastByte));
                const __m128i ends = _mm_andnot_si128(_mm_cmpeq_epi8(copiedNext, nextByte), counted);
                _mm_storeu_si128(at, counted);
                most = _mm_max_epu8(most, counted);
                mostEnding = _mm_max_epu8(mostEnding, ends);
            }
            longest[block] = most;
            longestEnding[block] = mostEnding;
        }
        storeMaxima(longest, group, blockRun + first);
        storeMaxima(longestEnding, group, blockEnding + first);
    }
}
#if defined(RASTERINE_ZX02_AVX2)
// The same count again, 32 offsets a vector, for the machines that have
// AVX2 (chosen at run time, as the program is built for every x86-64):
// the count is about half of a quick parse, and this halves its
// instructions. Each block's two vectors are folded into one of sixteen
// lanes, so the maxima are gathered as above.
__attribute__((target("avx2"))) inline void countWholeBlocksAvx2(const std::uint8_t* before, std::uint8_t* runs,
                                                                 std::uint8_t* blockRun, std::uint8_t* blockEnding,
                                                                 std::size_t blocks, std::uint8_t last, std::uint8_t next)
{
    static_assert(MatchLengths::kBlock % 32 == 0);
    constexpr std::size_t kVectors = MatchLengths::kBlock / 32;
    const __m256i one = _mm256_set1_epi8(1);
    const __m256i lastByte = _mm256_set1_epi8(static_cast<char>(last));
    const __m256i nextByte = _mm256_set1_epi8(static_cast<char>(next));
    for (std::size_t first = 0; first < blocks; first += 16) {
        const std::size_t group = std::min<std::size_t>(16, blocks - first);
        __m128i longest[16];
        __m128i longestEnding[16];
        zeroUnused(longest, longestEnding, group);
        for (std::size_t block = 0; block < group; ++block) {
            __m256i most = _mm256_setzero_si256();
            __m256i mostEnding = _mm256_setzero_si256();
            for (std::size_t v = 0; v < kVectors; ++v) {
                const std::size_t i = ((first + block) * kVectors + v) * 32;
                auto* at = reinterpret_cast<__m256i*>(runs + i);
                const __m256i copied = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(before + i));
                const __m256i copiedNext = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(before + i - 1));
                const __m256i grown = _mm256_adds_epu8(_mm256_loadu_si256(at), one);
                const __m256i counted = _mm256_and_si256(grown, _mm256_cmpeq_epi8(copied, lastByte));
                const __m256i ends = _mm256_andnot_si256(_mm256_cmpeq_epi8(copiedNext, nextByte), counted);
                _mm256_storeu_si256(at, counted);
                most = _mm256_max_epu8(most, counted);
                mostEnding = _mm256_max_epu8(mostEnding, ends);
            }
            longest[block] = _mm_max_epu8(_mm256_castsi256_si128(most), _mm256_extracti128_si256(most, 1));
            longestEnding[block] = _mm_max_epu8(_mm256_castsi256_si128(mostEnding), _mm256_extracti128_si256(mostEnding, 1));
        }
        storeMaxima(longest, group, blockRun + first);
        storeMaxima(longestEnding, group, blockEnding + first);
    }
}

inline bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif
#else
inline void countWholeBlocks(const std::uint8_t* before, std::uint8_t* runs, std::uint8_t* blockRun, std::uint8_t* blockEnding,
                             std::size_t blocks, std::uint8_t last, std::uint8_t next)
{
    countBlocks<MatchLengths::kBlock>(before, runs, blockRun, blockEnding, blocks, last, next);
}
#endif

constexpr std::uint64_t reversedBytes(std::uint64_t word)
{
    std::uint64_t reversed = 0;
    for (int i = 0; i < 8; ++i, word >>= 8)
        reversed = reversed << 8 | (word & 0xFF);
    return reversed;
}

// Bytes of 0 or 1 as bits, bit i for byte i: a multiplication gathers
// each 8 of them into 8 bits.
template <std::size_t Count>
std::uint64_t gatheredBits(const std::array<std::uint8_t, Count>& flags)
{
    static_assert(Count % 8 == 0 && Count <= 64);
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < Count; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, &flags[i], 8);
        if constexpr (std::endian::native == std::endian::big)
            word = reversedBytes(word);
        mask |= (word * 0x0102040810204080ULL) >> 56 << i;
    }
    return mask;
}

// Vectorised too.
inline std::uint8_t longestIn(const std::uint8_t* values, std::size_t count)
{
    std::uint8_t longest = 0;
    for (std::size_t i = 0; i < count; ++i)
        longest = std::max(longest, values[i]);
    return longest;
}

inline std::uint8_t longestInSixteens(const std::uint8_t* values, std::size_t sixteens)
{
    std::array<std::uint8_t, 16> longest{};
    for (std::size_t i = 0; i < sixteens; ++i)
        for (std::size_t j = 0; j < longest.size(); ++j)
            longest[j] = std::max(longest[j], values[i * 16 + j]);
    return longestIn(longest.data(), longest.size());
}

}  // namespace detail

inline MatchLengths::MatchLengths(std::span<const std::uint8_t> data)
    : data_(data), reversed_(data.rbegin(), data.rend()), runs_(kMaxOffset + 1, 0)
{
    // The last block of offsets reads what its offsets past the start
    // would copy: bytes it then ignores, as their runs are 0, but which
    // must be there.
    reversed_.resize(reversed_.size() + kBlock, 0);
}

inline void MatchLengths::count(int at)
{
    const auto size = static_cast<int>(data_.size());
    const std::uint8_t last = data_[static_cast<std::size_t>(at - 1)];
    const std::uint8_t* before = reversed_.data() + (size - at);  // before[o] is the byte o before the last
    const int offsets = std::min(at - 1, kMaxOffset);
    const std::uint8_t next = at < size ? data_[static_cast<std::size_t>(at)] : 0;
    blocks_ = offsets > 0 ? static_cast<int>(blockOf(offsets)) + 1 : 0;
    // Whole blocks, then the offsets of the last, shorter one each as a
    // block of one.
    const auto whole = static_cast<std::size_t>(offsets / kBlock);
#if defined(RASTERINE_ZX02_AVX2)
    if (detail::hasAvx2())
        detail::countWholeBlocksAvx2(before + 1, runs_.data() + 1, blockRun_.data(), blockEnding_.data(), whole, last, next);
    else
#endif
        detail::countWholeBlocks(before + 1, runs_.data() + 1, blockRun_.data(), blockEnding_.data(), whole, last, next);
    const int rest = offsets - static_cast<int>(whole) * kBlock;
    if (rest > 0) {
        const std::size_t base = whole * kBlock + 1;
        detail::countBlocks<1>(before + base, runs_.data() + base, partRun_.data(), partEnding_.data(),
                               static_cast<std::size_t>(rest), last, next);
        blockRun_[whole] = detail::longestIn(partRun_.data(), static_cast<std::size_t>(rest));
        blockEnding_[whole] = detail::longestIn(partEnding_.data(), static_cast<std::size_t>(rest));
    }
    before_ = before;
    next_ = next;
    atEnd_ = at == size;
    if (atEnd_)  // every match ends here
        std::copy(blockRun_.begin(), blockRun_.end(), blockEnding_.begin());
}

// A binary search over lengths, counting at each step the blocks whose
// longest ending match reaches it: a loop the compiler vectorises, over
// whole sixteens of blocks (those past the last counted are 0), in
// sixteen byte-wide counts that never reach 256.
inline int MatchLengths::longestEndingInMany(int many) const
{
    static_assert(kBlockSlots / 16 < 256);
    const std::size_t sixteens = (static_cast<std::size_t>(blocks_) + 15) / 16;
    const auto reaching = [&](int length) {
        const auto least = static_cast<std::uint8_t>(length);
        std::array<std::uint8_t, 16> counts{};
        for (std::size_t i = 0; i < sixteens; ++i)
            for (std::size_t j = 0; j < counts.size(); ++j)
                counts[j] = static_cast<std::uint8_t>(counts[j] + (blockEnding_[i * 16 + j] >= least ? 1 : 0));
        int count = 0;
        for (const std::uint8_t c : counts)
            count += c;
        return count;
    };
    if (many > kMaxOffset / kBlock + 1 || reaching(1) < many)
        return 0;
    int reached = 1;  // at least `many` blocks reach it
    int missed = detail::longestInSixteens(blockEnding_.data(), sixteens) + 1;  // fewer do
    while (missed - reached > 1) {
        const int middle = (reached + missed) / 2;
        (reaching(middle) >= many ? reached : missed) = middle;
    }
    return reached;
}

// A test the compiler vectorises gives a byte of 0 or 1 an offset.
inline std::uint64_t MatchLengths::endingAtLeast(int block, int shortest, const std::uint8_t* skip) const
{
    const auto base = static_cast<std::size_t>(block * kBlock + 1);
    const std::uint8_t* runs = runs_.data() + base;
    const std::uint8_t* copied = before_ + base - 1;  // what each offset copies next
    skip += base;
    const auto least = static_cast<std::uint8_t>(std::min(shortest, 255));  // none is longer
    std::array<std::uint8_t, kBlock> hits;
    for (std::size_t i = 0; i < hits.size(); ++i)
        hits[i] = static_cast<std::uint8_t>((runs[i] >= least) & ((copied[i] != next_) | atEnd_) & (skip[i] == 0));
    return detail::gatheredBits(hits);
}

inline std::uint32_t MatchLengths::blocksEndingAtLeast(int first, int shortest) const
{
    const auto least = static_cast<std::uint8_t>(std::min(shortest, 255));
    std::array<std::uint8_t, 16> hits;
    for (std::size_t i = 0; i < hits.size(); ++i)
        hits[i] = blockEnding_[static_cast<std::size_t>(first) + i] >= least ? 1 : 0;
    return static_cast<std::uint32_t>(detail::gatheredBits(hits));
}

inline std::pair<int, int> MatchLengths::nearestLongest(int first, int last) const
{
    const std::size_t firstBlock = blockOf(first);
    const std::size_t blocks = blockOf(last) + 1 - firstBlock;
    const std::uint8_t* blockRun = blockRun_.data() + firstBlock;
    // The larger codes' blocks come in sixteens, and those past the last
    // offset have no match: counted in whole sixteens, without a loop's
    // odd end.
    const std::uint8_t longest =
        blocks >= 16 ? detail::longestInSixteens(blockRun, (blocks + 15) / 16) : detail::longestIn(blockRun, blocks);
    if (longest == 0)
        return {0, 0};
    const auto* longestBlock = static_cast<const std::uint8_t*>(std::memchr(blockRun, longest, blocks));
    const int base = static_cast<int>(longestBlock - blockRun_.data()) * kBlock + 1;
    const std::uint8_t* runs = runs_.data() + base;
    const auto* nearest = static_cast<const std::uint8_t*>(std::memchr(runs, longest, kBlock));
    return {static_cast<int>(nearest - runs) + base, longest};
}

}  // namespace zx02
