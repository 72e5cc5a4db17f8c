#include "conversion/classic/colour_match.h"

#include <algorithm>

std::int32_t matchcol(const ConversionState& state, std::int32_t red, std::int32_t green,
                      std::int32_t blue, std::int32_t count, Color& colour)
{
    const std::int32_t bits[3] = {red >= 128 ? 1 : 0, green >= 128 ? 1 : 0, blue >= 128 ? 1 : 0};
    // The palette has room for 9 colours a mode; never read past it.
    count = std::min(count, 9);

    std::int32_t bestDistance = 10000;
    std::int32_t best = -1;
    for (std::int32_t k = 0; k < count; ++k) {
        std::int32_t distance = 0;
        for (int component = 0; component < 3; ++component)
            if (state.modeclrs(state.curmode, k, component) != bits[component])
                ++distance;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = k;
        }
    }

    if (best < 0) {
        colour = RGB(0, 0, 0);
        return best;
    }
    colour = RGB(255 * state.modeclrs(state.curmode, best, 0),
                 255 * state.modeclrs(state.curmode, best, 1),
                 255 * state.modeclrs(state.curmode, best, 2));
    return best;
}
