#include "conversion/methods/gaussian_blur.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// Blurs `count` interleaved channels of a width x height grid along one axis.
void blurAxis(const float* in, float* out, int width, int height, int channels, bool alongRows,
              const std::vector<float>& taps)
{
    const int radius = static_cast<int>(taps.size() / 2);
    const int length = alongRows ? width : height;
    const int lines = alongRows ? height : width;
    const std::size_t step = static_cast<std::size_t>(alongRows ? channels : channels * width);
    const std::size_t lineStep = static_cast<std::size_t>(alongRows ? channels * width : channels);
    for (int line = 0; line < lines; ++line)
        for (int i = 0; i < length; ++i)
            for (int c = 0; c < channels; ++c) {
                const float* base = in + static_cast<std::size_t>(line) * lineStep + static_cast<std::size_t>(c);
                float sum = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int j = std::clamp(i + k, 0, length - 1);
                    sum += taps[static_cast<std::size_t>(k + radius)] * base[static_cast<std::size_t>(j) * step];
                }
                out[static_cast<std::size_t>(line) * lineStep + static_cast<std::size_t>(i) * step +
                    static_cast<std::size_t>(c)] = sum;
            }
}

void blurInterleaved(float* data, int width, int height, int channels, float sigmaX, float sigmaY)
{
    if (width == 0 || height == 0)
        return;
    std::vector<float> across(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                              static_cast<std::size_t>(channels));
    if (sigmaX > 0) {
        blurAxis(data, across.data(), width, height, channels, true, gaussianTaps(sigmaX));
        std::copy(across.begin(), across.end(), data);
    }
    if (sigmaY > 0) {
        blurAxis(data, across.data(), width, height, channels, false, gaussianTaps(sigmaY));
        std::copy(across.begin(), across.end(), data);
    }
}

}  // namespace

std::vector<float> gaussianTaps(float sigma)
{
    const int radius = std::max(1, static_cast<int>(std::ceil(3 * sigma)));
    std::vector<float> taps(static_cast<std::size_t>(2 * radius + 1));
    float total = 0;
    for (int k = -radius; k <= radius; ++k) {
        const float w = std::exp(-0.5f * static_cast<float>(k * k) / (sigma * sigma));
        taps[static_cast<std::size_t>(k + radius)] = w;
        total += w;
    }
    for (float& w : taps)
        w /= total;
    return taps;
}

LinearImage gaussianBlur(const LinearImage& image, float sigma)
{
    static_assert(sizeof(LinearRgb) == 3 * sizeof(float));
    LinearImage result = image;
    blurInterleaved(reinterpret_cast<float*>(result.pixels.data()), image.width, image.height, 3, sigma, sigma);
    return result;
}

std::vector<float> gaussianBlur(const std::vector<float>& plane, int width, int height, float sigma)
{
    std::vector<float> result = plane;
    blurInterleaved(result.data(), width, height, 1, sigma, sigma);
    return result;
}

LinearImage gaussianBlur(const LinearImage& image, float sigmaX, float sigmaY)
{
    LinearImage result = image;
    blurInterleaved(reinterpret_cast<float*>(result.pixels.data()), image.width, image.height, 3, sigmaX, sigmaY);
    return result;
}
