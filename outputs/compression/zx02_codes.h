#pragma once

#include <bit>

// The sizes the compressor weighs: the Elias-gamma code of 1 to 256 takes
// one bit for its end and two for each bit after the leading 1.
namespace zx02 {

inline constexpr int kMaxLength = 256;     // literal runs and copies
inline constexpr int kMaxOffset = 32640;   // the high part's code stays below 256, the end marker
inline constexpr int kEndMarkerBits = 1 + 17;  // a new-offset flag and the code of 256

// Without a loop: the parse works out codes at every byte, and a loop's
// exit is a branch mispredicted more often than not.
constexpr int eliasBits(int value) { return 2 * std::bit_width(static_cast<unsigned>(value)) - 1; }

// A copy from a new offset is its flag, the high part's code and 7 bits
// of low part (the offset's bits), then the code of length - 1 (256 for a
// length of 1), whose first bit rides in the low part's byte.
constexpr int offsetBits(int offset) { return 1 + eliasBits((offset - 1) / 128 + 1) + 7; }
constexpr int newLengthBits(int length) { return eliasBits(length == 1 ? 256 : length - 1); }
constexpr int newCopyBits(int offset, int length) { return offsetBits(offset) + newLengthBits(length); }

}  // namespace zx02
