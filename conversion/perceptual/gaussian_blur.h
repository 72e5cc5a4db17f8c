#pragma once

#include "conversion/linear_image.h"

#include <cmath>
#include <vector>

// The Gaussian that stands in for the eye at a normal viewing distance:
// its standard deviation in display pixels (640 across the screen).
inline constexpr float kScoreSigma = 2.0f;

// A Gaussian of standard deviation `sigma`, cut off `radius` whole offsets
// either side (by default 3 sigma rounded up, at least 1). Every blur and
// weight of the eye's error is taken from here, so that they agree to the bit.
class Gaussian {
public:
    explicit Gaussian(float sigma);
    Gaussian(float sigma, int radius);

    int radius() const { return radius_; }
    // exp(-u^2 / 2 sigma^2): the curve before scaling, at any offset u.
    float curve(float u) const { return std::exp(-0.5f * u * u / (sigma_ * sigma_)); }
    // The curve summed over the whole offsets -radius..radius, in that order.
    float total() const { return total_; }
    // The normalised taps: taps[radius + k] = curve(k) / total().
    std::vector<float> taps() const;

private:
    float sigma_;
    int radius_;
    float total_ = 0;
};

// Gaussian(sigma).taps().
std::vector<float> gaussianTaps(float sigma);

// Gaussian blur with standard deviation `sigma` pixels, taps out to 3 sigma,
// edges extended by repeating the border pixel. sigma 0 copies.
LinearImage gaussianBlur(const LinearImage& image, float sigma);

// The same with taps of its own across and down (each of odd length, the
// middle one at offset 0), summed in the same order.
LinearImage gaussianBlur(const LinearImage& image, const std::vector<float>& across, const std::vector<float>& down);

// The same for one plane of `width` x `height` values, row by row.
std::vector<float> gaussianBlur(const std::vector<float>& plane, int width, int height, float sigma);
