#include "conversion/screen_layout.h"

#include <array>
#include <cassert>
#include <cstring>

namespace {

// Colour bits a pixel puts in its byte: those that number `colours` logical
// colours. Mode 2 has room for 4 but offers colours 0..7 unless VideoNuLA
// colours all 16, so its top bits (the flashing colours' bit) stay 0.
int colourBits(int colours)
{
    int bits = 0;
    while ((1 << bits) < colours)
        ++bits;
    return bits;
}

}  // namespace

std::uint8_t packPixels(const ScreenMode& mode, const std::int32_t* bytecols)
{
    return packPixels(mode, bytecols, mode.numcols);
}

std::uint8_t packPixels(const ScreenMode& mode, const std::int32_t* bytecols, int colours)
{
    const int bits = colourBits(colours);
    unsigned byte = 0;
    for (int i = 0; i < mode.pixperbyte; ++i)
        for (int k = 0; k < bits; ++k) {
            // A one-bit pixel is on for any colour but 0.
            const bool on = bits == 1 ? bytecols[i] != 0 : ((bytecols[i] >> k) & 1) != 0;
            if (on)
                byte |= 1u << ((mode.pixperbyte - 1 - i) + k * mode.pixperbyte);
        }
    return static_cast<std::uint8_t>(byte);
}

namespace {

std::uint64_t load(const std::uint8_t* pixels, int count)
{
    std::uint64_t v = 0;
    std::memcpy(&v, pixels, static_cast<std::size_t>(count));
    return v;  // pixel i in byte i: x86-64 and ARM are little-endian
}

// Gathers bit 0 of each of n bytes of v into n bits, byte 0 highest. Each
// byte's bit is multiplied to its own place and no two products meet, so no
// carry disturbs the result.
constexpr std::uint64_t kGather8 = 0x8040201008040201ULL;  // bytes 0..7 -> bits 63..56
constexpr std::uint64_t kGather4 = 0x08040201ULL;          // bytes 0..3 -> bits 27..24

// Two pixels of colours 0..7 each: bits 5/4 hold bit 2 of the left/right
// pixel, bits 3/2 bit 1, bits 1/0 bit 0.
constexpr std::array<std::uint8_t, 64> pairBytes()
{
    std::array<std::uint8_t, 64> bytes{};
    for (int left = 0; left < 8; ++left)
        for (int right = 0; right < 8; ++right)
            bytes[static_cast<std::size_t>(left << 3 | right)] = static_cast<std::uint8_t>(
                (left & 4) << 3 | (right & 4) << 2 | (left & 2) << 2 | (right & 2) << 1 |
                (left & 1) << 1 | (right & 1));
    return bytes;
}
constexpr std::array<std::uint8_t, 64> kPairBytes = pairBytes();

// The same byte as packPixels gives for the record's bit layout, for the
// three layouts the BBC Micro has.
std::uint8_t packFast(const ScreenMode& mode, const std::uint8_t* p)
{
    switch (mode.pixperbyte) {
    case 8:
        return static_cast<std::uint8_t>((load(p, 8) * kGather8) >> 56);
    case 4: {
        const std::uint64_t v = load(p, 4);
        const std::uint64_t high = (((v >> 1) & 0x01010101u) * kGather4) >> 24 & 0xF;
        const std::uint64_t low = ((v & 0x01010101u) * kGather4) >> 24 & 0xF;
        return static_cast<std::uint8_t>(high << 4 | low);
    }
    default:  // bit 3 of a pixel (colours 8..15) goes to bit 7 (left) or 6 (right)
        return static_cast<std::uint8_t>(kPairBytes[(p[0] & 7) << 3 | (p[1] & 7)] | (p[0] & 8) << 4 |
                                         (p[1] & 8) << 3);
    }
}

void packLine(const ScreenMode& mode, [[maybe_unused]] int colours, const std::uint8_t* pixels, std::uint8_t* out)
{
    for (int m = 0; m < mode.rowbytes; ++m, pixels += mode.pixperbyte) {
        out[8 * m] = packFast(mode, pixels);
#ifndef NDEBUG
        std::int32_t bytecols[8] = {};
        for (int i = 0; i < mode.pixperbyte; ++i) {
            assert(pixels[i] < colours);
            bytecols[i] = pixels[i];
        }
        assert(out[8 * m] == packPixels(mode, bytecols, colours));
#endif
    }
}

}  // namespace

std::vector<std::uint8_t> packScreen(const Screen& image)
{
    const ScreenMode& mode = *image.mode;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(mode.screenBytes()), 0);
    const int colours = image.logicalColours();
    for (int y = 0; y < image.paintedLines; ++y)
        packLine(mode, colours, image.line(y), bytes.data() + screenByteOffset(mode.rowbytes, y, 0));
    return bytes;
}

std::vector<std::uint8_t> unpackScreen(const ScreenMode& mode, std::span<const std::uint8_t> memory)
{
    assert(memory.size() == static_cast<std::size_t>(mode.screenBytes()));
    const int width = mode.screenPixelsPerLine();
    const int bits = mode.bitsPerPixel();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * kScreenLines);
    for (int y = 0; y < kScreenLines; ++y)
        for (int m = 0; m < mode.rowbytes; ++m) {
            const std::uint8_t byte = memory[screenByteOffset(mode.rowbytes, y, m)];
            for (int i = 0; i < mode.pixperbyte; ++i) {
                int colour = 0;
                for (int k = 0; k < bits; ++k)
                    colour |= ((byte >> ((mode.pixperbyte - 1 - i) + k * mode.pixperbyte)) & 1) << k;
                pixels[static_cast<std::size_t>(y * width + m * mode.pixperbyte + i)] = static_cast<std::uint8_t>(colour);
            }
        }
    return pixels;
}
