#include "teletext_score.h"

#include "conversion/colour_space.h"
#include "conversion/teletext_renderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<float> kernel(double sigma)
{
    const int radius = static_cast<int>(std::ceil(3 * sigma));
    std::vector<float> weights(static_cast<std::size_t>(2 * radius + 1));
    double total = 0;
    for (int i = -radius; i <= radius; ++i)
        total += weights[static_cast<std::size_t>(i + radius)] = static_cast<float>(std::exp(-i * i / (2 * sigma * sigma)));
    for (float& w : weights)
        w = static_cast<float>(w / total);
    return weights;
}

// One pass along x (or along y when `vertical`).
LinearImage blurPass(const LinearImage& image, const std::vector<float>& weights, bool vertical)
{
    const int radius = static_cast<int>(weights.size() / 2);
    LinearImage result(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            LinearRgb sum;
            for (int i = -radius; i <= radius; ++i) {
                const int sx = vertical ? x : std::clamp(x + i, 0, image.width - 1);
                const int sy = vertical ? std::clamp(y + i, 0, image.height - 1) : y;
                const LinearRgb& p = image.at(sx, sy);
                const float w = weights[static_cast<std::size_t>(i + radius)];
                sum.r += w * p.r;
                sum.g += w * p.g;
                sum.b += w * p.b;
            }
            result.at(x, y) = sum;
        }
    return result;
}

}  // namespace

LinearImage gaussianBlur(const LinearImage& image, double sigma)
{
    const std::vector<float> weights = kernel(sigma);
    return blurPass(blurPass(image, weights, false), weights, true);
}

double teletextScore(const LinearImage& picture, const TeletextScreen& screen)
{
    const LinearImage source = gaussianBlur(areaAverage(picture, kTeletextWidth, kTeletextHeight), 2.0);
    const LinearImage shown = gaussianBlur(teletextLinear(screen), 2.0);
    double sum = 0;
    for (std::size_t i = 0; i < source.pixels.size(); ++i)
        sum += std::sqrt(oklabDistance2(toOklab(source.pixels[i]), toOklab(shown.pixels[i])));
    return 100.0 * sum / static_cast<double>(source.pixels.size());
}
