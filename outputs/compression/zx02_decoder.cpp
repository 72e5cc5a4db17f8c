#include "outputs/compression/zx02.h"

#include "outputs/compression/zx02_codes.h"

#include <utility>

namespace {

// Reads a stream the way the 6502 routines do: bytes in order, a bit byte
// fetched when its first bit is wanted, bits from the top down.
class StreamReader {
public:
    StreamReader(std::span<const std::uint8_t> stream, std::vector<std::uint32_t>* readAt,
                 const std::vector<std::uint8_t>& output)
        : stream_(stream), readAt_(readAt), output_(output)
    {
    }

    std::optional<std::uint8_t> byte()
    {
        if (next_ == stream_.size())
            return std::nullopt;
        if (readAt_)
            readAt_->push_back(static_cast<std::uint32_t>(output_.size()));
        return stream_[next_++];
    }

    std::optional<int> bit()
    {
        if (pendingBit_ >= 0)
            return std::exchange(pendingBit_, -1);
        if (bitsLeft_ == 0) {
            const auto next = byte();
            if (!next)
                return std::nullopt;
            bits_ = *next;
            bitsLeft_ = 8;
        }
        --bitsLeft_;
        return (bits_ >> bitsLeft_) & 1;
    }

    // The next code's first bit, carried in the low bit of an offset byte.
    void pushBit(int bit) { pendingBit_ = bit; }

    // An interlaced Elias-gamma code: 1 to 256, or nothing when broken.
    std::optional<int> elias()
    {
        int value = 1;
        for (;;) {
            const auto more = bit();
            if (!more)
                return std::nullopt;
            if (*more == 0)
                return value;
            const auto next = bit();
            if (!next)
                return std::nullopt;
            value = value << 1 | *next;
            if (value > zx02::kMaxLength)
                return std::nullopt;
        }
    }

    bool finished() const { return next_ == stream_.size(); }

private:
    std::span<const std::uint8_t> stream_;
    std::vector<std::uint32_t>* readAt_;
    const std::vector<std::uint8_t>& output_;
    std::size_t next_ = 0;
    std::uint8_t bits_ = 0;
    int bitsLeft_ = 0;
    int pendingBit_ = -1;
};

bool copy(std::vector<std::uint8_t>& output, std::size_t offset, int length, std::size_t maxBytes)
{
    if (offset > output.size() || output.size() + static_cast<std::size_t>(length) > maxBytes)
        return false;
    for (int i = 0; i < length; ++i)
        output.push_back(output[output.size() - offset]);
    return true;
}

bool literals(StreamReader& in, std::vector<std::uint8_t>& output, std::size_t maxBytes)
{
    const auto length = in.elias();
    if (!length || output.size() + static_cast<std::size_t>(*length) > maxBytes)
        return false;
    for (int i = 0; i < *length; ++i) {
        const auto value = in.byte();
        if (!value)
            return false;
        output.push_back(*value);
    }
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> zx02Decompress(std::span<const std::uint8_t> stream, std::size_t maxBytes,
                                                        std::vector<std::uint32_t>* readAt)
{
    std::vector<std::uint8_t> output;
    StreamReader in(stream, readAt, output);
    std::size_t offset = 1;
    bool afterLiterals = false;
    if (!literals(in, output, maxBytes))
        return std::nullopt;
    afterLiterals = true;
    for (;;) {
        const auto flag = in.bit();
        if (!flag)
            return std::nullopt;
        if (*flag == 0 && !afterLiterals) {
            if (!literals(in, output, maxBytes))
                return std::nullopt;
            afterLiterals = true;
            continue;
        }
        if (*flag == 0) {
            const auto length = in.elias();
            if (!length || !copy(output, offset, *length, maxBytes))
                return std::nullopt;
        } else {
            const auto high = in.elias();
            if (!high)
                return std::nullopt;
            if (*high == 256)
                break;
            const auto low = in.byte();
            if (!low)
                return std::nullopt;
            offset = static_cast<std::size_t>((*high - 1) * 128 + (*low >> 1) + 1);
            in.pushBit(*low & 1);
            const auto code = in.elias();
            if (!code || !copy(output, offset, *code == 256 ? 1 : *code + 1, maxBytes))
                return std::nullopt;
        }
        afterLiterals = false;
    }
    if (!in.finished())
        return std::nullopt;
    return output;
}
