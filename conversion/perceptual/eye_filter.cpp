#include "conversion/perceptual/eye_filter.h"

#include "conversion/perceptual/gaussian_blur.h"

#include <cstddef>

namespace {

// One axis: the autocorrelation, at lags of whole grid pixels, of a box of
// `scale` display pixels blurred by the Gaussian.
std::vector<float> axisOverlap(int scale, float sigma)
{
    const std::vector<float> taps = gaussianTaps(sigma);
    std::vector<float> blurredBox(taps.size() + static_cast<std::size_t>(scale) - 1, 0.0f);
    for (int i = 0; i < scale; ++i)
        for (std::size_t k = 0; k < taps.size(); ++k)
            blurredBox[static_cast<std::size_t>(i) + k] += taps[k];
    std::vector<float> overlap;
    for (int lag = 0;; ++lag) {
        const std::size_t shift = static_cast<std::size_t>(lag * scale);
        float sum = 0;
        for (std::size_t i = 0; i + shift < blurredBox.size(); ++i)
            sum += blurredBox[i] * blurredBox[i + shift];
        if (lag > 0 && sum < 1e-2f * overlap.front())
            break;
        overlap.push_back(sum);
    }
    return overlap;
}

}  // namespace

EyeFilter::EyeFilter(int scaleX, int scaleY, float sigma)
{
    const std::vector<float> across = axisOverlap(scaleX, sigma), down = axisOverlap(scaleY, sigma);
    radiusX_ = static_cast<int>(across.size()) - 1;
    radiusY_ = static_cast<int>(down.size()) - 1;
    for (int dy = -radiusY_; dy <= radiusY_; ++dy)
        for (int dx = -radiusX_; dx <= radiusX_; ++dx)
            taps_.push_back(across[static_cast<std::size_t>(dx < 0 ? -dx : dx)] *
                            down[static_cast<std::size_t>(dy < 0 ? -dy : dy)]);
}
