#include "conversion/screen_layout.h"

std::uint8_t packbyte(int curmode, const std::int32_t* bytecols)
{
    unsigned byte = 0;
    auto take = [&byte](bool bit) { byte = (byte << 1) | (bit ? 1u : 0u); };

    if (curmode == 0 || curmode == 4) {
        for (int i = 0; i < 8; ++i)
            take(bytecols[i] != 0);
    } else if (curmode == 1 || curmode == 5) {
        for (int i = 0; i < 4; ++i)
            take((bytecols[i] & 2) != 0);
        for (int i = 0; i < 4; ++i)
            take((bytecols[i] & 1) != 0);
    } else {
        for (int mask = 4; mask >= 1; mask /= 2) {
            take((bytecols[0] & mask) != 0);
            take((bytecols[1] & mask) != 0);
        }
    }
    return static_cast<std::uint8_t>(byte);
}
