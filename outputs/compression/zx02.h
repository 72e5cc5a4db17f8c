#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// ZX02, an LZ format made for the 6502: literal runs, copies from a new
// offset and copies from the last offset (after a literal run only), with
// lengths in interlaced Elias-gamma codes of 1 to 256 that end with a 0 bit,
// offsets stored less one as an Elias-gamma high part and a 7-bit low part,
// decoded forwards from an initial offset of 1. These are the format's
// standard options, so any ZX02 decompressor unpacks our streams unchanged.

// How widely the parse searches. Quick keeps a 20 KiB screen to tens of
// milliseconds, its stream within about a third of 1 % of the format's
// reference compressor's; Thorough weighs every offset, as that
// compressor does, and takes seconds (docs/disc-images.md).
enum class Zx02Search { Quick, Thorough };

// How much the parse weighed: the states it compared, a few at every byte
// for each offset it followed. What a search costs grows with this count,
// so the benchmarks report it beside the time.
struct Zx02Work {
    std::uint64_t statesWeighed = 0;
};

// The stream our parse finds for `data`: the smallest there is on short
// data. The same data and search always give the same stream. Empty data
// has no ZX02 stream: it must not be asked for.
std::vector<std::uint8_t> zx02Compress(std::span<const std::uint8_t> data, Zx02Search search = Zx02Search::Quick,
                                       Zx02Work* work = nullptr);

// What a stream unpacks to, or nothing when it is not a whole, well-formed
// stream of at most `maxBytes` bytes: truncated, a copy from before the
// start, a code out of range, or bytes left over after its end marker.
// With `readAt`, the output position at which each input byte was read (the
// order a 6502 routine that reads its bit bytes when it first needs them
// also follows), for checking that a stream can be unpacked in place.
std::optional<std::vector<std::uint8_t>> zx02Decompress(std::span<const std::uint8_t> stream,
                                                        std::size_t maxBytes,
                                                        std::vector<std::uint32_t>* readAt = nullptr);
