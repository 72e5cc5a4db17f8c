#include "outputs/m6502/unpack_cycles.h"

#include "outputs/compression/zx02.h"

#include <algorithm>
#include <utility>

namespace {

// The listing's instructions priced in NMOS 6502 cycles. The routine lies
// within page &09, so no branch crosses a page; Y is 0 wherever the stream
// is read, so only a copy's LDA (from),Y can cross one.
namespace cost {
// screen: LDX, the 256 rounds of keep (the last BNE not taken), the four
// bytes after the stream read, and a stream starting below page &7F.
constexpr int kScreenEntry = 2 + 256 * 14 - 1 + 30 + 12;
constexpr int kStreamInCopy = -1;  // BEQ incopy taken, one LDA shorter
constexpr int kUnpackEntry = 5;    // unpack: LDA, STA remap
constexpr int kStart = 15;         // start: offset, bits and Y set
constexpr int kBit = 8;            // ASL bits, BNE taken
constexpr int kBitByte = 38;       // that BNE not taken, JSR refill .. RTS
constexpr int kSourcePage = 39;    // INC src's BNE not taken, JSR srcpage .. RTS
constexpr int kCopiedPage = 4;     // srcpage switching to the copy of page &7F
constexpr int kElias = 27;         // JSR elias, LDA, the final 0 bit, TAX, RTS
constexpr int kEliascLess = -5;    // eliasc: JMP ebit instead of the first bit
constexpr int kEliasBit = 23;      // each further bit pair of a code
constexpr int kLiteralByte = 32;   // litbyte .. BNE litbyte taken
constexpr int kLastRound = -1;     // a loop's last branch, not taken
constexpr int kDestinationPage = 4;  // INC dst+1 after a literal
constexpr int kTaken = 3;          // the branch after a flag, taken ..
constexpr int kNotTaken = 2;       // .. or not
constexpr int kCopyStart = 20;     // copy: from = dst - offset - 1
constexpr int kCopyByte = 18;      // copybyte .. BNE copybyte taken
constexpr int kCopyEnd = 15;       // TYA .. BCC copied taken
constexpr int kCopyEndCarry = 22;  // .. with INC dst+1, JMP copied
constexpr int kCopyEndWhole = 10;  // TYA, BEQ whole, INC dst+1 (256 bytes)
constexpr int kCopied = 2;         // copied: LDY #0
constexpr int kNewOffset = 34;     // newoff from BEQ to JMP copy, less its codes
constexpr int kFinished = 3 + 6;   // BEQ finished taken, RTS
}  // namespace cost

constexpr std::uint16_t kCopiedPageAddress = 0x7F00;

// Walks a well-formed stream as the routine does, adding up its cycles.
class Pricing {
public:
    Pricing(std::span<const std::uint8_t> stream, std::uint16_t streamStart, std::uint16_t destination,
            UnpackEntry entry)
        : stream_(stream), streamStart_(streamStart), dst_(destination), redirected_(entry == UnpackEntry::Screen)
    {
        if (entry == UnpackEntry::Unpack)
            cycles_ = cost::kUnpackEntry;
        else
            cycles_ = cost::kScreenEntry + (streamStart >= kCopiedPageAddress ? cost::kStreamInCopy : 0);
        cycles_ += cost::kStart;
    }

    std::uint64_t run()
    {
        literals();
        for (bool afterLiterals = true;;) {
            cycles_ += afterLiterals ? 0 : cost::kCopied;
            cycles_ += cost::kBit;
            const bool newOffset = bit();
            if (!newOffset && !afterLiterals) {
                cycles_ += cost::kTaken;  // BCC literals
                literals();
                afterLiterals = true;
                continue;
            }
            if (!newOffset) {
                cycles_ += cost::kNotTaken;  // BCS newoff
                copy(elias());
            } else {
                cycles_ += afterLiterals ? cost::kTaken : cost::kNotTaken;
                const int high = elias();
                if (high == 256)
                    return cycles_ + cost::kFinished;
                cycles_ += cost::kNewOffset;
                const std::uint8_t low = byte();
                offset_ = static_cast<std::uint16_t>((high - 1) * 128 + (low >> 1) + 1);
                pendingBit_ = low & 1;
                const int code = elias();
                copy(code == 256 ? 1 : code + 1);
            }
            afterLiterals = false;
        }
    }

private:
    std::uint8_t byte()
    {
        const auto address = static_cast<std::uint16_t>(streamStart_ + next_);
        if ((address & 0xFF) == 0xFF)
            cycles_ += cost::kSourcePage + (redirected_ && address + 1 == kCopiedPageAddress ? cost::kCopiedPage : 0);
        return stream_[next_++];
    }

    bool bit()
    {
        if (pendingBit_ >= 0)
            return std::exchange(pendingBit_, -1) != 0;
        if (bitsLeft_ == 0) {
            cycles_ += cost::kBitByte;
            bits_ = byte();
            bitsLeft_ = 8;
        }
        --bitsLeft_;
        return ((bits_ >> bitsLeft_) & 1) != 0;
    }

    int elias()
    {
        cycles_ += cost::kElias + (pendingBit_ >= 0 ? cost::kEliascLess : 0);
        int value = 1;
        while (bit()) {
            value = value << 1 | (bit() ? 1 : 0);
            cycles_ += cost::kEliasBit;
        }
        return value;
    }

    void literals()
    {
        const int length = elias();
        for (int i = 0; i < length; ++i) {
            byte();
            cycles_ += cost::kLiteralByte + ((dst_ & 0xFF) == 0xFF ? cost::kDestinationPage : 0);
            ++dst_;
        }
        cycles_ += cost::kLastRound;
    }

    void copy(int length)
    {
        const int fromLow = (dst_ - offset_) & 0xFF;
        cycles_ += cost::kCopyStart + length * cost::kCopyByte + cost::kLastRound;
        cycles_ += std::max(0, fromLow + length - 256);  // LDA (from),Y across a page
        if (length == 256)
            cycles_ += cost::kCopyEndWhole;
        else
            cycles_ += (dst_ & 0xFF) + length > 0xFF ? cost::kCopyEndCarry : cost::kCopyEnd;
        dst_ = static_cast<std::uint16_t>(dst_ + length);
    }

    std::span<const std::uint8_t> stream_;
    std::uint16_t streamStart_;
    std::uint16_t dst_;
    bool redirected_;
    std::uint64_t cycles_ = 0;
    std::size_t next_ = 0;
    std::uint8_t bits_ = 0;
    int bitsLeft_ = 0;
    int pendingBit_ = -1;
    std::uint16_t offset_ = 1;
};

}  // namespace

std::optional<std::uint64_t> unpackCycles(std::span<const std::uint8_t> stream, std::uint16_t streamStart,
                                          std::uint16_t destination, UnpackEntry entry)
{
    if (!zx02Decompress(stream, 0x10000u - destination))
        return std::nullopt;
    return Pricing(stream, streamStart, destination, entry).run();
}
