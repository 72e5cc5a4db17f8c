#pragma once

#include <cassert>
#include <cstdint>
#include <vector>

#include "outputs/compression/zx02_codes.h"

namespace zx02 {

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

}  // namespace zx02
