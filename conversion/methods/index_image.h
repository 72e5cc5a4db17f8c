#pragma once

#include "conversion/colour_space.h"
#include "conversion/nula_colours.h"

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

// The most colours a method places: mode 2's 16 with VideoNuLA.
inline constexpr int kMaxMethodColours = 16;

// The colours a method may place: `count` colours indexed by logical colour,
// with their linear-light and OKLab values ready for matching, and the
// physical colour (0..7, red + 2 green + 4 blue) each of the first 8 is, or
// for NuLA colours the nearest one.
struct MethodPalette {
    int count = 0;
    std::array<std::uint8_t, 8> physical{};
    std::array<LinearRgb, kMaxMethodColours> linear{};
    std::array<Oklab, kMaxMethodColours> lab{};
};

// The palette of `count` logical colours showing `physical[0..count)`.
MethodPalette methodPalette(const std::array<std::uint8_t, 8>& physical, int count);

// The palette of `count` logical colours showing the 12-bit `colours[0..count)`.
MethodPalette nulaMethodPalette(const NulaTable& colours, int count);

// The logical colour whose OKLab value is nearest to `colour`.
inline int nearestColour(const MethodPalette& palette, const Oklab& colour)
{
    int best = 0;
    float bestDistance = oklabDistance2(palette.lab[0], colour);
    for (int i = 1; i < palette.count; ++i) {
        const float distance = oklabDistance2(palette.lab[static_cast<std::size_t>(i)], colour);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// Logical colours on a grid, row by row from the top: what a method makes
// before it becomes a Screen.
struct IndexImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    IndexImage() = default;
    IndexImage(int w, int h)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0)
    {
    }

    std::uint8_t& at(int x, int y) { return pixels[index(x, y)]; }
    std::uint8_t at(int x, int y) const { return pixels[index(x, y)]; }

private:
    std::size_t index(int x, int y) const
    {
        assert(x >= 0 && x < width && y >= 0 && y < height);
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
    }
};
