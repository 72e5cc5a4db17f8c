#pragma once

#include "conversion/linear_image.h"
#include "conversion/methods/index_image.h"

#include <vector>

// A quick guess at how well a palette can show one line of a picture: the
// line dithered along its length alone (all of each pixel's error passed to
// the next), both it and the source blurred over seven pixels, and the
// OKLab distance between them summed along the line. It stands in for the
// two-dimensional dithering when many palettes are weighed for every line.
class LineCost {
public:
    explicit LineCost(const LinearImage& grid);

    double cost(int y, const MethodPalette& palette) const;

private:
    const LinearImage& grid_;
    std::vector<Oklab> blurredSource_;  // by line, then column
};

// Each line's cost with its neighbours': lines further away count less, as
// the error the methods carry down the picture fades. `costs[y][s]`.
std::vector<std::vector<double>> withNeighbours(const std::vector<std::vector<double>>& costs);
