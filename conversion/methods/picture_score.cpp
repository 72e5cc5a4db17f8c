#include "conversion/methods/picture_score.h"

#include "conversion/fast_oklab.h"
#include "conversion/perceptual/blurred_error.h"
#include "conversion/perceptual/gaussian_blur.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

constexpr int kLanes = 4;

int wholeLanes(int count)
{
    return (count + kLanes - 1) / kLanes * kLanes;
}

FloatLanes loadLanes(const float* from)
{
    FloatLanes lanes;
    std::memcpy(&lanes, from, sizeof lanes);
    return lanes;
}

void storeLanes(float* to, FloatLanes lanes)
{
    std::memcpy(to, &lanes, sizeof lanes);
}

std::vector<Oklab> blurredLab(const LinearImage& image, float sigma)
{
    return oklabOf(gaussianBlur(image, sigma), toOklabFast<>);
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

LinearImage expandToDisplay(const IndexImage& image, const RowPalettes& palettes, int scaleX, int scaleY)
{
    LinearImage display(image.width * scaleX, image.height * scaleY);
    for (int y = 0; y < display.height; ++y)
        for (int x = 0; x < display.width; ++x)
            display.at(x, y) = palettes.row(y / scaleY).linear[image.at(x / scaleX, y / scaleY)];
    return display;
}

LinearImage displayOf(const Screen& image)
{
    const int scaleX = kDisplayWidth / image.width();
    const int scaleY = kDisplayLines / kScreenLines;
    LinearImage display(image.width() * scaleX, kScreenLines * scaleY);
    for (int y = 0; y < kScreenLines; ++y) {
        // Each scan line in the colours of its own palette.
        const LinePalette& colours = image.paletteAt(y);
        const MethodPalette palette = colours.nula ? nulaMethodPalette(*colours.nula, image.logicalColours())
                                                   : methodPalette(colours.physical, image.mode->numcols);
        for (int dy = 0; dy < scaleY; ++dy)
            for (int x = 0; x < display.width; ++x)
                display.at(x, y * scaleY + dy) = palette.linear[image.at(x / scaleX, y)];
    }
    return display;
}

ScoreReference::ScoreReference(const LinearImage& source, float sigma)
    : width_(source.width), height_(source.height), sigma_(sigma), lab_(blurredLab(source, sigma))
{
    if (sigma > 0)
        taps_ = gaussianTaps(sigma);
    for (std::vector<float>* plane : {&labL_, &labA_, &labB_})
        plane->resize(lab_.size() + kLanes);
    for (std::size_t i = 0; i < lab_.size(); ++i) {
        labL_[i] = lab_[i].L;
        labA_[i] = lab_[i].a;
        labB_[i] = lab_[i].b;
    }
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

double ScoreReference::distance(const IndexImage& image, const RowPalettes& palettes, int scaleX, int scaleY,
                                ScoreScratch& scratch) const
{
    assert(image.width * scaleX == width_ && image.height * scaleY == height_);
    if (taps_.empty() || lab_.empty())
        return distance(expandToDisplay(image, palettes, scaleX, scaleY));
    // gaussianBlur() sums each pixel's taps in order from a zero, across and
    // then down, with the edges repeated; so does this, four display pixels
    // at a time. The display lines that show the same line of logical
    // colours are the same blurred across, so each is blurred across once.
    const int radius = static_cast<int>(taps_.size() / 2);
    const auto stride = static_cast<std::size_t>(wholeLanes(width_));
    const std::size_t lineLength = stride + 2 * static_cast<std::size_t>(radius);
    scratch.line.resize(3 * lineLength);
    scratch.across.resize(3 * stride * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        const MethodPalette& palette = palettes.row(y);
        float* const line = scratch.line.data();
        for (std::size_t i = 0; i < lineLength; ++i) {
            const int x = std::clamp(static_cast<int>(i) - radius, 0, width_ - 1) / scaleX;
            const LinearRgb& colour = palette.linear[image.at(x, y)];
            line[i] = colour.r;
            line[lineLength + i] = colour.g;
            line[2 * lineLength + i] = colour.b;
        }
        for (std::size_t c = 0; c < 3; ++c) {
            const float* const in = line + c * lineLength;
            float* const out = scratch.across.data() + (3 * static_cast<std::size_t>(y) + c) * stride;
            for (std::size_t x = 0; x < stride; x += kLanes) {
                FloatLanes sum{};
                for (std::size_t k = 0; k < taps_.size(); ++k)
                    sum += taps_[k] * loadLanes(in + x + k);
                storeLanes(out + x, sum);
            }
        }
    }

    // Down, then OKLab and the distance to the blurred source, summed in the
    // order distance() sums them.
    scratch.down.resize(stride);
    float* const distance2 = scratch.down.data();
    double total = 0;
    for (int y = 0; y < height_; ++y) {
        const std::size_t first = static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
        for (std::size_t x = 0; x < stride; x += kLanes) {
            FloatLanes r{}, g{}, b{};
            for (std::size_t k = 0; k < taps_.size(); ++k) {
                const int from = std::clamp(y + static_cast<int>(k) - radius, 0, height_ - 1) / scaleY;
                const float* const at = scratch.across.data() + 3 * stride * static_cast<std::size_t>(from) + x;
                r += taps_[k] * loadLanes(at);
                g += taps_[k] * loadLanes(at + stride);
                b += taps_[k] * loadLanes(at + 2 * stride);
            }
            const OklabLanes lab = toOklabLanes(r, g, b);
            const FloatLanes dL = lab.L - loadLanes(&labL_[first + x]), da = lab.a - loadLanes(&labA_[first + x]),
                             db = lab.b - loadLanes(&labB_[first + x]);
            storeLanes(distance2 + x, dL * dL + da * da + db * db);
        }
        for (int x = 0; x < width_; ++x)
            total += std::sqrt(distance2[x]);
    }
    return 100.0 * total / static_cast<double>(lab_.size());
}

double ScoreReference::lightnessSsim(const LinearImage& result) const
{
    assert(result.width == width_ && result.height == height_);
    return meanSsim(lightness(lab_), lightness(blurredLab(result, sigma_)), width_, height_);
}
