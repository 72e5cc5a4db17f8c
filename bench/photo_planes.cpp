#include "photo_planes.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

int clampComponent(double value)
{
    return std::clamp(static_cast<int>(std::lround(value)), 0, 255);
}

}  // namespace

void fillPhotoPlanes(ConversionState& state, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> grain(0.0, 6.0);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            // A sky-like gradient, a hill of other colours, and a bright band.
            const double sky = 200.0 - 0.5 * y;
            const bool hill = y > 150 + 30.0 * std::sin(x / 40.0);
            const bool band = (x / 64) % 2 == 1 && y > 60 && y < 90;
            double r = hill ? 60 + 0.3 * x : sky * 0.6;
            double g = hill ? 120 + 40.0 * std::sin(x / 13.0 + y / 17.0) : sky * 0.8;
            double b = hill ? 40 + 0.2 * y : sky;
            if (band)
                r = g = b = 235;
            state.red(x, y) = clampComponent(r + grain(random));
            state.green(x, y) = clampComponent(g + grain(random));
            state.blue(x, y) = clampComponent(b + grain(random));
        }
}
