#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

// A colour in linear light: components in proportion to emitted light, 0..1
// for displayable colours (methods that diffuse error may run outside it).
struct LinearRgb {
    float r = 0;
    float g = 0;
    float b = 0;

    friend bool operator==(const LinearRgb&, const LinearRgb&) = default;
};

// A picture in linear light, row by row from the top.
struct LinearImage {
    int width = 0;
    int height = 0;
    std::vector<LinearRgb> pixels;

    LinearImage() = default;
    LinearImage(int w, int h)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
    {
    }

    LinearRgb& at(int x, int y) { return pixels[index(x, y)]; }
    const LinearRgb& at(int x, int y) const { return pixels[index(x, y)]; }

private:
    std::size_t index(int x, int y) const
    {
        assert(x >= 0 && x < width && y >= 0 && y < height);
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
    }
};

// Resamples by area averaging: each target pixel is the mean of the source
// area it covers, partly covered source pixels counted by their share. In
// linear light this keeps the amount of light, so a fine black and white
// pattern becomes the grey it looks like from a distance.
LinearImage areaAverage(const LinearImage& source, int width, int height);
