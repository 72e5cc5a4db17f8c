#include "conversion/methods/score_refinement.h"

#include "conversion/methods/fast_oklab.h"
#include "conversion/methods/gaussian_blur.h"
#include "conversion/methods/picture_score.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// One axis of the blur seen at grid pixels: how much of a pixel `d` grid
// pixels away reaches this pixel's middle, for pixels `scale` display
// pixels long blurred by the score's Gaussian; trimmed where it is small.
std::vector<float> axisReach(int scale)
{
    const std::vector<float> taps = gaussianTaps(kScoreSigma);
    const int radius = static_cast<int>(taps.size() / 2), middle = scale / 2;
    std::vector<float> reach;
    for (int d = 0;; ++d) {
        float sum = 0;
        for (int i = 0; i < scale; ++i) {
            const int offset = d * scale + i - middle;
            if (offset >= -radius && offset <= radius)
                sum += taps[static_cast<std::size_t>(offset + radius)];
        }
        if (d > 0 && sum < 0.02f * reach.front())
            return reach;
        reach.push_back(sum);
    }
}

class Refinement {
public:
    Refinement(const LinearImage& source, const MethodPalette& palette, IndexImage start, int scaleX, int scaleY)
        : palette_(palette), image_(std::move(start)), across_(axisReach(scaleX)), down_(axisReach(scaleY)),
          seen_(image_.width, image_.height), target_(source.pixels.size()), cost_(source.pixels.size())
    {
        LinearImage blurredSource(source.width, source.height);
        for (int y = 0; y < image_.height; ++y)
            for (int x = 0; x < image_.width; ++x) {
                add(blurredSource, x, y, source.at(x, y));
                add(seen_, x, y, palette_.linear[image_.at(x, y)]);
            }
        for (std::size_t i = 0; i < target_.size(); ++i) {
            target_[i] = toOklabFast(blurredSource.pixels[i]);
            cost_[i] = distance(seen_.pixels[i], i);
        }
    }

    bool improve(int x, int y);
    IndexImage take() { return std::move(image_); }

private:
    int rx() const { return static_cast<int>(across_.size()) - 1; }
    int ry() const { return static_cast<int>(down_.size()) - 1; }
    float weight(int dx, int dy) const
    {
        return across_[static_cast<std::size_t>(std::abs(dx))] * down_[static_cast<std::size_t>(std::abs(dy))];
    }
    float distance(const LinearRgb& c, std::size_t i) const
    {
        return std::sqrt(oklabDistance2(toOklabFast(c), target_[i]));
    }
    void add(LinearImage& into, int x, int y, const LinearRgb& c) const;
    float gain(int x, int y, const LinearRgb& d) const;
    float swapGain(int x, int y, int nx, int ny, const LinearRgb& d) const;
    void recost(int x0, int y0, int x1, int y1);
    bool trySwaps(int x, int y);

    const MethodPalette& palette_;
    IndexImage image_;
    std::vector<float> across_, down_;
    LinearImage seen_;  // the blurred picture at each grid pixel
    std::vector<Oklab> target_;
    std::vector<float> cost_;
};

void Refinement::add(LinearImage& into, int x, int y, const LinearRgb& c) const
{
    for (int ty = std::max(0, y - ry()); ty <= std::min(image_.height - 1, y + ry()); ++ty)
        for (int tx = std::max(0, x - rx()); tx <= std::min(image_.width - 1, x + rx()); ++tx) {
            const float w = weight(tx - x, ty - y);
            LinearRgb& p = into.at(tx, ty);
            p.r += w * c.r;
            p.g += w * c.g;
            p.b += w * c.b;
        }
}

// The change in summed distance from adding `d` to the pixel at (x, y).
float Refinement::gain(int x, int y, const LinearRgb& d) const
{
    float total = 0;
    for (int ty = std::max(0, y - ry()); ty <= std::min(image_.height - 1, y + ry()); ++ty)
        for (int tx = std::max(0, x - rx()); tx <= std::min(image_.width - 1, x + rx()); ++tx) {
            const float w = weight(tx - x, ty - y);
            const std::size_t i = static_cast<std::size_t>(ty * image_.width + tx);
            const LinearRgb& p = seen_.pixels[i];
            total += distance(LinearRgb{p.r + w * d.r, p.g + w * d.g, p.b + w * d.b}, i) - cost_[i];
        }
    return total;
}

// The change in summed distance from adding `d` at (x, y) and taking it
// away at its neighbour (nx, ny): their colours swapped.
float Refinement::swapGain(int x, int y, int nx, int ny, const LinearRgb& d) const
{
    float total = 0;
    for (int ty = std::max(0, std::min(y, ny) - ry()); ty <= std::min(image_.height - 1, std::max(y, ny) + ry()); ++ty)
        for (int tx = std::max(0, std::min(x, nx) - rx()); tx <= std::min(image_.width - 1, std::max(x, nx) + rx());
             ++tx) {
            const bool nearHere = std::abs(tx - x) <= rx() && std::abs(ty - y) <= ry();
            const bool nearThere = std::abs(tx - nx) <= rx() && std::abs(ty - ny) <= ry();
            const float w = (nearHere ? weight(tx - x, ty - y) : 0.0f) - (nearThere ? weight(tx - nx, ty - ny) : 0.0f);
            const std::size_t i = static_cast<std::size_t>(ty * image_.width + tx);
            const LinearRgb& p = seen_.pixels[i];
            total += distance(LinearRgb{p.r + w * d.r, p.g + w * d.g, p.b + w * d.b}, i) - cost_[i];
        }
    return total;
}

void Refinement::recost(int x0, int y0, int x1, int y1)
{
    for (int ty = std::max(0, y0 - ry()); ty <= std::min(image_.height - 1, y1 + ry()); ++ty)
        for (int tx = std::max(0, x0 - rx()); tx <= std::min(image_.width - 1, x1 + rx()); ++tx) {
            const std::size_t i = static_cast<std::size_t>(ty * image_.width + tx);
            cost_[i] = distance(seen_.pixels[i], i);
        }
}

// Swaps (x, y) with its right or lower neighbour when that lowers the distance.
bool Refinement::trySwaps(int x, int y)
{
    const int neighbours[2][2] = {{x + 1, y}, {x, y + 1}};
    for (const auto& n : neighbours) {
        const int nx = n[0], ny = n[1];
        if (nx >= image_.width || ny >= image_.height || image_.at(nx, ny) == image_.at(x, y))
            continue;
        const LinearRgb& here = palette_.linear[image_.at(x, y)];
        const LinearRgb& there = palette_.linear[image_.at(nx, ny)];
        const LinearRgb d{there.r - here.r, there.g - here.g, there.b - here.b};
        if (swapGain(x, y, nx, ny, d) >= -1e-6f)
            continue;
        add(seen_, x, y, d);
        add(seen_, nx, ny, LinearRgb{-d.r, -d.g, -d.b});
        recost(std::min(x, nx), std::min(y, ny), std::max(x, nx), std::max(y, ny));
        std::swap(image_.at(x, y), image_.at(nx, ny));
        return true;
    }
    return false;
}

bool Refinement::improve(int x, int y)
{
    if (trySwaps(x, y))
        return true;
    const LinearRgb& now = palette_.linear[image_.at(x, y)];
    float best = -1e-6f;
    int bestColour = -1;
    for (int to = 0; to < palette_.count; ++to) {
        if (to == image_.at(x, y))
            continue;
        const LinearRgb& c = palette_.linear[static_cast<std::size_t>(to)];
        if (const float g = gain(x, y, LinearRgb{c.r - now.r, c.g - now.g, c.b - now.b}); g < best) {
            best = g;
            bestColour = to;
        }
    }
    if (bestColour < 0)
        return false;
    const LinearRgb& c = palette_.linear[static_cast<std::size_t>(bestColour)];
    add(seen_, x, y, LinearRgb{c.r - now.r, c.g - now.g, c.b - now.b});
    for (int ty = std::max(0, y - ry()); ty <= std::min(image_.height - 1, y + ry()); ++ty)
        for (int tx = std::max(0, x - rx()); tx <= std::min(image_.width - 1, x + rx()); ++tx) {
            const std::size_t i = static_cast<std::size_t>(ty * image_.width + tx);
            cost_[i] = distance(seen_.pixels[i], i);
        }
    image_.at(x, y) = static_cast<std::uint8_t>(bestColour);
    return true;
}

}  // namespace

IndexImage refineByScore(const LinearImage& source, const MethodPalette& palette, IndexImage start, int scaleX,
                         int scaleY, const ProgressReport& progress, int maxSweeps)
{
    Refinement refinement(source, palette, std::move(start), scaleX, scaleY);
    for (int sweep = 0; sweep < maxSweeps; ++sweep) {
        bool changed = false;
        for (int y = 0; y < source.height; ++y) {
            for (int x = 0; x < source.width; ++x)
                changed = refinement.improve(x, y) || changed;
            if (progress)
                progress((sweep + (y + 1.0) / source.height) / maxSweeps);
        }
        if (!changed)
            break;
    }
    return refinement.take();
}
