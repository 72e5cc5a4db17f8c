#include "conversion/screen_layout.h"

#include <array>
#include <cassert>

namespace {

// Colour bits a pixel puts in its byte: those that number the mode's logical
// colours. Mode 2 has room for 4 but offers colours 0..7, so its top two
// bits (the flashing colours' bit) stay 0.
int colourBits(const ScreenMode& mode)
{
    int bits = 0;
    while ((1 << bits) < mode.numcols)
        ++bits;
    return bits;
}

}  // namespace

std::uint8_t packPixels(const ScreenMode& mode, const std::int32_t* bytecols)
{
    const int bits = colourBits(mode);
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

std::uint8_t packbyte(int curmode, const std::int32_t* bytecols)
{
    const ScreenMode* mode = findScreenMode(curmode);
    assert(mode != nullptr);
    return packPixels(*mode, bytecols);
}

namespace {

// The bits each logical colour sets at each position of a byte; a byte is
// the OR of its pixels' entries.
using PackTable = std::array<std::array<std::uint8_t, 256>, 8>;

PackTable packTable(const ScreenMode& mode)
{
    PackTable table{};
    for (int position = 0; position < mode.pixperbyte; ++position)
        for (int colour = 0; colour < (1 << mode.bitsPerPixel()); ++colour) {
            std::int32_t bytecols[8] = {};
            bytecols[position] = colour;
            table[static_cast<std::size_t>(position)][static_cast<std::size_t>(colour)] = packPixels(mode, bytecols);
        }
    return table;
}

template <int PixPerByte>
void packLine(const PackTable& table, const std::uint8_t* pixels, int rowbytes, std::uint8_t* out)
{
    for (int m = 0; m < rowbytes; ++m, pixels += PixPerByte) {
        unsigned byte = 0;
        for (int i = 0; i < PixPerByte; ++i)
            byte |= table[i][pixels[i]];
        out[8 * m] = static_cast<std::uint8_t>(byte);
    }
}

}  // namespace

std::vector<std::uint8_t> packScreen(const ScreenImage& image)
{
    const ScreenMode& mode = *image.mode;
    const PackTable table = packTable(mode);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(mode.screenBytes()), 0);
    for (int y = 0; y < image.paintedLines; ++y) {
        std::uint8_t* out = bytes.data() + screenByteOffset(mode.rowbytes, y, 0);
        switch (mode.pixperbyte) {
        case 8: packLine<8>(table, image.line(y), mode.rowbytes, out); break;
        case 4: packLine<4>(table, image.line(y), mode.rowbytes, out); break;
        default: packLine<2>(table, image.line(y), mode.rowbytes, out); break;
        }
    }
    return bytes;
}
