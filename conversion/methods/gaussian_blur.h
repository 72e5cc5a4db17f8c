#pragma once

#include "conversion/linear_image.h"

#include <vector>

// Gaussian blur with standard deviation `sigma` pixels, taps out to 3 sigma,
// edges extended by repeating the border pixel. sigma 0 copies.
LinearImage gaussianBlur(const LinearImage& image, float sigma);

// The same with different deviations across and down.
LinearImage gaussianBlur(const LinearImage& image, float sigmaX, float sigmaY);

// The same for one plane of `width` x `height` values, row by row.
std::vector<float> gaussianBlur(const std::vector<float>& plane, int width, int height, float sigma);

// The normalised taps of a Gaussian: taps[radius + k] is the weight at offset k.
std::vector<float> gaussianTaps(float sigma);
