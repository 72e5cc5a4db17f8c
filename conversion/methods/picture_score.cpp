#include "conversion/methods/picture_score.h"

#include "conversion/methods/fast_oklab.h"
#include "conversion/methods/gaussian_blur.h"

#include <cassert>
#include <cmath>
#include <cstddef>

namespace {

std::vector<Oklab> blurredLab(const LinearImage& image, float sigma)
{
    const LinearImage blurred = gaussianBlur(image, sigma);
    std::vector<Oklab> lab(blurred.pixels.size());
    for (std::size_t i = 0; i < lab.size(); ++i)
        lab[i] = toOklabFast(blurred.pixels[i]);
    return lab;
}

std::vector<float> lightness(const std::vector<Oklab>& lab)
{
    std::vector<float> plane(lab.size());
    for (std::size_t i = 0; i < lab.size(); ++i)
        plane[i] = lab[i].L;
    return plane;
}

std::vector<float> product(const std::vector<float>& x, const std::vector<float>& y)
{
    std::vector<float> result(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        result[i] = x[i] * y[i];
    return result;
}

// Mean SSIM over Gaussian windows of sigma 1.5, for values on a 0..1 scale.
double meanSsim(const std::vector<float>& x, const std::vector<float>& y, int width, int height)
{
    constexpr float window = 1.5f, c1 = 0.01f * 0.01f, c2 = 0.03f * 0.03f;
    const auto mx = gaussianBlur(x, width, height, window), my = gaussianBlur(y, width, height, window);
    const auto xx = gaussianBlur(product(x, x), width, height, window);
    const auto yy = gaussianBlur(product(y, y), width, height, window);
    const auto xy = gaussianBlur(product(x, y), width, height, window);
    double total = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const float vx = xx[i] - mx[i] * mx[i], vy = yy[i] - my[i] * my[i], cxy = xy[i] - mx[i] * my[i];
        total += ((2 * mx[i] * my[i] + c1) * (2 * cxy + c2)) /
                 ((mx[i] * mx[i] + my[i] * my[i] + c1) * (vx + vy + c2));
    }
    return total / static_cast<double>(x.size());
}

}  // namespace

LinearImage expandToDisplay(const IndexImage& image, const MethodPalette& palette, int scaleX, int scaleY)
{
    LinearImage display(image.width * scaleX, image.height * scaleY);
    for (int y = 0; y < display.height; ++y)
        for (int x = 0; x < display.width; ++x)
            display.at(x, y) = palette.linear[image.at(x / scaleX, y / scaleY)];
    return display;
}

LinearImage displayOf(const ScreenImage& image)
{
    IndexImage indices(image.width(), kScreenLines);
    indices.pixels = image.pixels;
    const MethodPalette palette = methodPalette(image.palette, image.mode->numcols);
    return expandToDisplay(indices, palette, kDisplayWidth / image.width(), kDisplayHeight / kScreenLines);
}

ScoreReference::ScoreReference(const LinearImage& source, float sigma)
    : width_(source.width), height_(source.height), sigma_(sigma), lab_(blurredLab(source, sigma))
{
}

double ScoreReference::distance(const LinearImage& result) const
{
    assert(result.width == width_ && result.height == height_);
    const std::vector<Oklab> lab = blurredLab(result, sigma_);
    double total = 0;
    for (std::size_t i = 0; i < lab.size(); ++i)
        total += std::sqrt(oklabDistance2(lab[i], lab_[i]));
    return 100.0 * total / static_cast<double>(lab.size());
}

double ScoreReference::lightnessSsim(const LinearImage& result) const
{
    assert(result.width == width_ && result.height == height_);
    return meanSsim(lightness(lab_), lightness(blurredLab(result, sigma_)), width_, height_);
}
