#include "conversion/perceptual/gaussian_blur.h"

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

// Blurs across with `across` then down with `down`; an empty set of taps
// leaves that axis as it is.
void blurInterleaved(float* data, int width, int height, int channels, const std::vector<float>& across,
                     const std::vector<float>& down)
{
    if (width == 0 || height == 0)
        return;
    std::vector<float> blurred(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                               static_cast<std::size_t>(channels));
    if (!across.empty()) {
        blurAxis(data, blurred.data(), width, height, channels, true, across);
        std::copy(blurred.begin(), blurred.end(), data);
    }
    if (!down.empty()) {
        blurAxis(data, blurred.data(), width, height, channels, false, down);
        std::copy(blurred.begin(), blurred.end(), data);
    }
}

std::vector<float> tapsOrNone(float sigma)
{
    return sigma > 0 ? gaussianTaps(sigma) : std::vector<float>{};
}

}  // namespace

Gaussian::Gaussian(float sigma)
    : Gaussian(sigma, std::max(1, static_cast<int>(std::ceil(3 * sigma))))
{
}

Gaussian::Gaussian(float sigma, int radius) : sigma_(sigma), radius_(radius)
{
    for (int k = -radius; k <= radius; ++k)
        total_ += curve(static_cast<float>(k));
}

std::vector<float> Gaussian::taps() const
{
    std::vector<float> taps(static_cast<std::size_t>(2 * radius_ + 1));
    for (int k = -radius_; k <= radius_; ++k)
        taps[static_cast<std::size_t>(k + radius_)] = curve(static_cast<float>(k)) / total_;
    return taps;
}

std::vector<float> gaussianTaps(float sigma)
{
    return Gaussian(sigma).taps();
}

LinearImage gaussianBlur(const LinearImage& image, float sigma)
{
    return gaussianBlur(image, tapsOrNone(sigma), tapsOrNone(sigma));
}

LinearImage gaussianBlur(const LinearImage& image, const std::vector<float>& across, const std::vector<float>& down)
{
    static_assert(sizeof(LinearRgb) == 3 * sizeof(float));
    LinearImage result = image;
    blurInterleaved(reinterpret_cast<float*>(result.pixels.data()), image.width, image.height, 3, across, down);
    return result;
}

std::vector<float> gaussianBlur(const std::vector<float>& plane, int width, int height, float sigma)
{
    std::vector<float> result = plane;
    blurInterleaved(result.data(), width, height, 1, tapsOrNone(sigma), tapsOrNone(sigma));
    return result;
}
