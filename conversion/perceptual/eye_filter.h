#pragma once

#include <vector>

// The eye's blur as direct binary search needs it: for grid pixels of
// scaleX x scaleY display pixels blurred by a Gaussian of `sigma` display
// pixels, how much the blurred images of two pixels dx, dy apart overlap
// (the autocorrelation of one pixel's blurred image). Offsets beyond the
// radii overlap too little to count.
class EyeFilter {
public:
    EyeFilter(int scaleX, int scaleY, float sigma);

    int radiusX() const { return radiusX_; }
    int radiusY() const { return radiusY_; }
    float at(int dx, int dy) const
    {
        return taps_[static_cast<std::size_t>((dy + radiusY_) * (2 * radiusX_ + 1) + dx + radiusX_)];
    }

private:
    int radiusX_;
    int radiusY_;
    std::vector<float> taps_;
};
