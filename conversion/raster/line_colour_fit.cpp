#include "conversion/raster/line_colour_fit.h"

#include "conversion/colour_space.h"
#include "conversion/perceptual/gaussian_blur.h"
#include "conversion/perceptual/linear_sums.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstddef>

namespace {

// The weights a grid pixel `scale` display pixels long gives, blurred by
// the score's Gaussian, to the grid pixels d = -radius..radius from it, each
// read as the mean over its own display pixels.
std::vector<float> gridTaps(int scale)
{
    const Gaussian eye(kScoreSigma);
    const auto weight = [&](int d) {
        float sum = 0;
        for (int i = 0; i < scale; ++i)
            for (int j = 0; j < scale; ++j)
                sum += eye.curve(static_cast<float>(d * scale + j - i));
        return sum / (eye.total() * static_cast<float>(scale));
    };
    int radius = 0;
    while (radius < 8 && weight(radius + 1) >= 0.01f * weight(0))
        ++radius;
    std::vector<float> taps;
    for (int d = -radius; d <= radius; ++d)
        taps.push_back(weight(d));
    return taps;
}

// The linear-light value of each 4-bit level of a channel.
std::array<float, 16> levelValues()
{
    std::array<float, 16> values{};
    for (std::size_t v = 0; v < values.size(); ++v)
        values[v] = srgbToLinear(nulaComponent(static_cast<std::uint8_t>(v)));
    return values;
}

// The 4-bit level whose linear value is nearest `value`: the error is
// quadratic in linear light, so nearest there is best there.
std::uint8_t nearestLevel(float value, const std::array<float, 16>& levels)
{
    std::uint8_t best = 0;
    for (std::uint8_t v = 1; v < 16; ++v)
        if (std::abs(levels[v] - value) < std::abs(levels[best] - value))
            best = v;
    return best;
}

// How much more a linear-light error counts where the source is dark: the
// square of the slope of OKLab's cube-root lightness at the source's
// luminance, which is what the score sees.
float eyeWeight(const LinearRgb& source)
{
    const float luminance = std::max(0.2126f * source.r + 0.7152f * source.g + 0.0722f * source.b, 0.01f);
    return std::pow(luminance, -4.0f / 3.0f);
}

// Solves a x = b in place for a K x K system with three right-hand sides,
// by elimination with partial pivoting; `a` is row-major.
void solve(std::vector<double>& a, std::vector<std::array<double, 3>>& b, int k)
{
    const auto at = [&](int r, int c) -> double& { return a[static_cast<std::size_t>(r * k + c)]; };
    for (int col = 0; col < k; ++col) {
        int pivot = col;
        for (int r = col + 1; r < k; ++r)
            if (std::abs(at(r, col)) > std::abs(at(pivot, col)))
                pivot = r;
        if (pivot != col) {
            for (int c = 0; c < k; ++c)
                std::swap(at(col, c), at(pivot, c));
            std::swap(b[static_cast<std::size_t>(col)], b[static_cast<std::size_t>(pivot)]);
        }
        for (int r = col + 1; r < k; ++r) {
            const double f = at(r, col) / at(col, col);
            for (int c = col; c < k; ++c)
                at(r, c) -= f * at(col, c);
            for (int ch = 0; ch < 3; ++ch)
                b[static_cast<std::size_t>(r)][ch] -= f * b[static_cast<std::size_t>(col)][ch];
        }
    }
    for (int r = k - 1; r >= 0; --r) {
        for (int c = r + 1; c < k; ++c)
            for (int ch = 0; ch < 3; ++ch)
                b[static_cast<std::size_t>(r)][ch] -= at(r, c) * b[static_cast<std::size_t>(c)][ch];
        for (int ch = 0; ch < 3; ++ch)
            b[static_cast<std::size_t>(r)][ch] /= at(r, r);
    }
}

double channel(const LinearRgb& c, int ch)
{
    return ch == 0 ? c.r : ch == 1 ? c.g : c.b;
}

// The working state: the blurred source and picture on the grid (blurred
// with nothing beyond the edges, the same for both, so they stay comparable),
// each line's colours blurred across one by one, and the weights.
class LineFit {
public:
    LineFit(const LinearImage& grid, const IndexImage& pixels, const std::vector<NulaTable>& lines, int count,
            int scaleX, int scaleY);

    // Line y's colours set to `table` without fitting.
    void setColours(int y, const NulaTable& table);
    // Line y's colours fitted, at most `changeable` of them changed.
    NulaTable fit(int y, NulaTable table, int changeable);

private:
    std::size_t at(int x, int y) const { return static_cast<std::size_t>(y * width_ + x); }
    const float* across(int y, int colour) const
    {
        return &across_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(count_) +
                         static_cast<std::size_t>(colour)) * static_cast<std::size_t>(width_)];
    }
    LinearImage blurred(const std::vector<LinearRgb>& perPixel) const;
    // Line y's colours changed from colours_[y] to `now`, the blurred picture with them.
    void change(int y, const std::vector<LinearRgb>& now);
    struct Normal {
        std::vector<double> a;                    // count x count
        std::vector<std::array<double, 3>> b;     // count
    };
    Normal normalEquations(int y) const;
    void solveAll(const Normal& normal, std::vector<LinearRgb>& colours) const;
    void changeFew(const Normal& normal, std::vector<LinearRgb>& colours, int changeable) const;
    LinearRgb snapped(LinearRgb c) const;

    int width_, height_, count_;
    std::vector<float> tapsX_, tapsY_;
    std::array<float, 16> levels_ = levelValues();
    std::vector<float> across_;                  // by line, colour, x: the colour's pixels blurred across
    std::vector<std::vector<LinearRgb>> colours_;  // by line, colour
    std::vector<float> weights_;
    LinearImage source_, picture_;                 // blurred
};

LineFit::LineFit(const LinearImage& grid, const IndexImage& pixels, const std::vector<NulaTable>& lines, int count,
                 int scaleX, int scaleY)
    : width_(grid.width), height_(grid.height), count_(count), tapsX_(gridTaps(scaleX)), tapsY_(gridTaps(scaleY)),
      across_(static_cast<std::size_t>(width_ * height_ * count), 0.0f), colours_(static_cast<std::size_t>(height_)),
      weights_(grid.pixels.size())
{
    const int rx = static_cast<int>(tapsX_.size() / 2);
    std::vector<LinearRgb> shown(grid.pixels.size());
    for (int y = 0; y < height_; ++y) {
        for (int k = 0; k < count; ++k)
            colours_[static_cast<std::size_t>(y)].push_back(
                nulaLinear(lines[static_cast<std::size_t>(y)][static_cast<std::size_t>(k)]));
        for (int x = 0; x < width_; ++x) {
            const int k = pixels.at(x, y);
            shown[at(x, y)] = colours_[static_cast<std::size_t>(y)][static_cast<std::size_t>(k)];
            float* line = &across_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(count) +
                                    static_cast<std::size_t>(k)) * static_cast<std::size_t>(width_)];
            for (int d = -rx; d <= rx; ++d)
                if (x + d >= 0 && x + d < width_)
                    line[x + d] += tapsX_[static_cast<std::size_t>(d + rx)];
        }
    }
    source_ = blurred(grid.pixels);
    picture_ = blurred(shown);
    for (std::size_t i = 0; i < weights_.size(); ++i)
        weights_[i] = eyeWeight(source_.pixels[i]);
}

LinearImage LineFit::blurred(const std::vector<LinearRgb>& perPixel) const
{
    const int rx = static_cast<int>(tapsX_.size() / 2), ry = static_cast<int>(tapsY_.size() / 2);
    LinearImage acrossOnly(width_, height_), result(width_, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            for (int d = -rx; d <= rx; ++d)
                if (x + d >= 0 && x + d < width_)
                    acrossOnly.at(x + d, y) =
                        acrossOnly.at(x + d, y) + tapsX_[static_cast<std::size_t>(d + rx)] * perPixel[at(x, y)];
    for (int y = 0; y < height_; ++y)
        for (int d = -ry; d <= ry; ++d)
            if (y + d >= 0 && y + d < height_)
                for (int x = 0; x < width_; ++x)
                    result.at(x, y + d) =
                        result.at(x, y + d) + tapsY_[static_cast<std::size_t>(d + ry)] * acrossOnly.at(x, y);
    return result;
}

void LineFit::change(int y, const std::vector<LinearRgb>& now)
{
    const int ry = static_cast<int>(tapsY_.size() / 2);
    std::vector<LinearRgb>& was = colours_[static_cast<std::size_t>(y)];
    for (int k = 0; k < count_; ++k) {
        const LinearRgb delta = now[static_cast<std::size_t>(k)] - was[static_cast<std::size_t>(k)];
        if (delta == LinearRgb{})
            continue;
        const float* h = across(y, k);
        for (int d = -ry; d <= ry; ++d) {
            if (y + d < 0 || y + d >= height_)
                continue;
            const float g = tapsY_[static_cast<std::size_t>(d + ry)];
            for (int x = 0; x < width_; ++x)
                if (h[x] != 0)
                    picture_.at(x, y + d) = picture_.at(x, y + d) + (g * h[x]) * delta;
        }
    }
    was = now;
}

void LineFit::setColours(int y, const NulaTable& table)
{
    std::vector<LinearRgb> now;
    for (int k = 0; k < count_; ++k)
        now.push_back(nulaLinear(table[static_cast<std::size_t>(k)]));
    change(y, now);
}

// The weighted squared error of line y's colours c is c'Ac - 2b'c + const
// per channel, the rest of the picture held.
LineFit::Normal LineFit::normalEquations(int y) const
{
    const int ry = static_cast<int>(tapsY_.size() / 2);
    const auto k = static_cast<std::size_t>(count_);
    Normal n{std::vector<double>(k * k, 0.0), std::vector<std::array<double, 3>>(k, {0, 0, 0})};
    const std::vector<LinearRgb>& colours = colours_[static_cast<std::size_t>(y)];
    std::vector<float> h(k);
    for (int d = -ry; d <= ry; ++d) {
        if (y + d < 0 || y + d >= height_)
            continue;
        const float g = tapsY_[static_cast<std::size_t>(d + ry)];
        for (int x = 0; x < width_; ++x) {
            LinearRgb own{};
            for (std::size_t j = 0; j < k; ++j) {
                h[j] = across(y, static_cast<int>(j))[x];
                if (h[j] != 0)
                    own = own + (g * h[j]) * colours[j];
            }
            const float w = weights_[at(x, y + d)];
            const LinearRgb rest = source_.at(x, y + d) - picture_.at(x, y + d) + own;
            for (std::size_t j = 0; j < k; ++j) {
                if (h[j] == 0)
                    continue;
                const double wj = static_cast<double>(w) * g * h[j];
                n.b[j][0] += wj * rest.r;
                n.b[j][1] += wj * rest.g;
                n.b[j][2] += wj * rest.b;
                for (std::size_t i = 0; i < k; ++i)
                    if (h[i] != 0)
                        n.a[j * k + i] += wj * g * h[i];
            }
        }
    }
    return n;
}

LinearRgb LineFit::snapped(LinearRgb c) const
{
    return LinearRgb{levels_[nearestLevel(c.r, levels_)], levels_[nearestLevel(c.g, levels_)],
                     levels_[nearestLevel(c.b, levels_)]};
}

// Every colour at once: the least-squares colours, held a little towards
// the colours they were (so that a colour barely shown stays put), snapped.
void LineFit::solveAll(const Normal& normal, std::vector<LinearRgb>& colours) const
{
    const auto k = static_cast<std::size_t>(count_);
    double largest = 0;
    for (std::size_t j = 0; j < k; ++j)
        largest = std::max(largest, normal.a[j * k + j]);
    if (largest <= 0)
        return;
    const double hold = 1e-3 * largest;
    std::vector<double> a = normal.a;
    std::vector<std::array<double, 3>> b = normal.b;
    for (std::size_t j = 0; j < k; ++j) {
        a[j * k + j] += hold;
        for (int ch = 0; ch < 3; ++ch)
            b[j][static_cast<std::size_t>(ch)] += hold * channel(colours[j], ch);
    }
    solve(a, b, count_);
    for (std::size_t j = 0; j < k; ++j)
        if (normal.a[j * k + j] > 0)
            colours[j] = snapped(LinearRgb{static_cast<float>(b[j][0]), static_cast<float>(b[j][1]),
                                           static_cast<float>(b[j][2])});
}

// Up to `changeable` colours, one at a time: each time the colour whose best
// snapped value alone lowers the error most, while one does.
void LineFit::changeFew(const Normal& normal, std::vector<LinearRgb>& colours, int changeable) const
{
    const auto k = static_cast<std::size_t>(count_);
    std::vector<bool> changed(k, false);
    for (int round = 0; round < changeable; ++round) {
        double bestGain = -1e-12;
        std::size_t bestColour = k;
        LinearRgb bestValue{};
        for (std::size_t j = 0; j < k; ++j) {
            const double ajj = normal.a[j * k + j];
            if (changed[j] || ajj <= 0)
                continue;
            std::array<double, 3> slope{};  // b - A c, for colour j
            for (int ch = 0; ch < 3; ++ch) {
                slope[static_cast<std::size_t>(ch)] = normal.b[j][static_cast<std::size_t>(ch)];
                for (std::size_t i = 0; i < k; ++i)
                    slope[static_cast<std::size_t>(ch)] -= normal.a[j * k + i] * channel(colours[i], ch);
            }
            const LinearRgb value = snapped(LinearRgb{static_cast<float>(colours[j].r + slope[0] / ajj),
                                                      static_cast<float>(colours[j].g + slope[1] / ajj),
                                                      static_cast<float>(colours[j].b + slope[2] / ajj)});
            double gain = 0;
            for (int ch = 0; ch < 3; ++ch) {
                const double step = channel(value, ch) - channel(colours[j], ch);
                gain += ajj * step * step - 2 * step * slope[static_cast<std::size_t>(ch)];
            }
            if (gain < bestGain) {
                bestGain = gain;
                bestColour = j;
                bestValue = value;
            }
        }
        if (bestColour == k)
            return;
        colours[bestColour] = bestValue;
        changed[bestColour] = true;
    }
}

NulaTable LineFit::fit(int y, NulaTable table, int changeable)
{
    const Normal normal = normalEquations(y);
    std::vector<LinearRgb> colours = colours_[static_cast<std::size_t>(y)];
    if (changeable >= count_)
        solveAll(normal, colours);
    else
        changeFew(normal, colours, changeable);
    for (int k = 0; k < count_; ++k) {
        const LinearRgb& c = colours[static_cast<std::size_t>(k)];
        if (c == colours_[static_cast<std::size_t>(y)][static_cast<std::size_t>(k)])
            continue;
        table[static_cast<std::size_t>(k)] =
            NulaColour{nearestLevel(c.r, levels_), nearestLevel(c.g, levels_), nearestLevel(c.b, levels_)};
    }
    change(y, colours);
    return table;
}

}  // namespace

std::vector<NulaTable> fittedLineColours(const LinearImage& grid, const IndexImage& pixels,
                                         std::vector<NulaTable> lines, int count, int changeable, int scaleX,
                                         int scaleY)
{
    assert(pixels.width == grid.width && pixels.height == grid.height &&
           lines.size() == static_cast<std::size_t>(grid.height) && count <= kNulaEntries);
    LineFit fit(grid, pixels, lines, count, scaleX, scaleY);
    for (std::size_t y = 0; y < lines.size(); ++y) {
        const bool limited = changeable < count && y > 0;
        if (limited) {
            lines[y] = lines[y - 1];
            fit.setColours(static_cast<int>(y), lines[y]);
        }
        lines[y] = fit.fit(static_cast<int>(y), lines[y], limited ? changeable : count);
    }
    return lines;
}
