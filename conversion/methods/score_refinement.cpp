#include "conversion/methods/score_refinement.h"

#include "conversion/methods/fast_oklab.h"
#include "conversion/methods/gaussian_blur.h"
#include "conversion/methods/picture_score.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// One axis of the blur as the polish reads it: the blurred picture is kept
// at `samples` points a grid pixel (evenly spaced, so `scale` of them would
// be every display pixel); a pixel `scale` display pixels long, blurred by
// the score's Gaussian, reaches lattice point x * samples + s with weight
// weights[s + before], for s from -before on; trimmed where it is small.
struct Lobe {
    int samples = 1;
    int before = 0;
    std::vector<float> weights;

    int first(int x) const { return x * samples - before; }
    int last(int x) const { return first(x) + static_cast<int>(weights.size()) - 1; }
    float at(int x, int point) const
    {
        const int k = point - first(x);
        return k >= 0 && k < static_cast<int>(weights.size()) ? weights[static_cast<std::size_t>(k)] : 0.0f;
    }
    // How many grid pixels apart two pixels' reaches can overlap.
    int overlap() const { return (static_cast<int>(weights.size()) - 1) / samples; }
};

// How many points a grid pixel the blur is read at, across and down: every
// display pixel (at most two along an axis) where pixels cover four display
// pixels or more, fewer where the grid is large or the colours many, so that
// the polish costs about the same in each mode; mode 0's small pixels are
// read once.
struct Points {
    int across = 1, down = 1;
};

Points pointsFor(int scaleX, int scaleY, std::size_t pixels, int colours)
{
    if (scaleX * scaleY < 4)
        return Points{};
    const std::size_t budget = std::size_t{640} * 256 * 4;
    Points p{std::min(scaleX, 2), std::min(scaleY, 2)};
    if (pixels * static_cast<std::size_t>(p.across * p.down * colours) > budget)
        p.down = 1;
    if (pixels * static_cast<std::size_t>(p.across * p.down * colours) > budget)
        p.across = 1;
    return p;
}

// The lobe for pixels `scale` display pixels long read at `samples` points.
Lobe lobeOf(int scale, int samples)
{
    const std::vector<float> taps = gaussianTaps(kScoreSigma);
    const int radius = static_cast<int>(taps.size() / 2);
    float total = 0;  // the taps' scale before normalising: their weight at 0 is 1 / total
    for (int k = -radius; k <= radius; ++k)
        total += std::exp(-0.5f * static_cast<float>(k * k) / (kScoreSigma * kScoreSigma));
    const auto weightAt = [&](int s) {
        const float position = (static_cast<float>(s) + 0.5f) * static_cast<float>(scale) / static_cast<float>(samples) - 0.5f;
        float sum = 0;
        for (int i = 0; i < scale; ++i) {
            const float u = position - static_cast<float>(i);
            sum += std::exp(-0.5f * u * u / (kScoreSigma * kScoreSigma));
        }
        return sum / total;
    };
    const float peak = weightAt(samples / 2);
    Lobe lobe;
    lobe.samples = samples;
    while (weightAt(-lobe.before - 1) >= 0.02f * peak)
        ++lobe.before;
    for (int s = -lobe.before; weightAt(s) >= 0.02f * peak || s < samples; ++s)
        lobe.weights.push_back(weightAt(s));
    return lobe;
}

// A range of lattice points: columns x0..x1, rows y0..y1.
struct Area {
    int x0, x1, y0, y1;
};

class Refinement {
public:
    Refinement(const LinearImage& source, const MethodPalette& palette, IndexImage start, const Points& points,
               int scaleX, int scaleY)
        : palette_(palette), image_(std::move(start)), across_(lobeOf(scaleX, points.across)),
          down_(lobeOf(scaleY, points.down)),
          seen_(image_.width * across_.samples, image_.height * down_.samples),
          target_(seen_.pixels.size()), cost_(seen_.pixels.size()), settled_(source.pixels.size(), 0)
    {
        LinearImage blurredSource(seen_.width, seen_.height);
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

    // Tries (x, y) unless nothing within reach has changed since it was last
    // tried and found no better.
    bool improve(int x, int y)
    {
        std::uint8_t& settled = settled_[static_cast<std::size_t>(y * image_.width + x)];
        if (settled)
            return false;
        settled = 1;
        return tryChanges(x, y);
    }
    IndexImage take() { return std::move(image_); }

private:
    // The lattice points the pixels (x, y) and (nx, ny) reach.
    Area reach(int x, int y, int nx, int ny) const
    {
        return Area{std::max(0, across_.first(std::min(x, nx))), std::min(seen_.width - 1, across_.last(std::max(x, nx))),
                    std::max(0, down_.first(std::min(y, ny))), std::min(seen_.height - 1, down_.last(std::max(y, ny)))};
    }
    Area reach(int x, int y) const { return reach(x, y, x, y); }
    std::size_t point(int px, int py) const { return static_cast<std::size_t>(py * seen_.width + px); }
    float distance(const LinearRgb& c, std::size_t i) const
    {
        return std::sqrt(oklabDistance2(toOklabFast<roughCbrt>(c), target_[i]));
    }
    void add(LinearImage& into, int x, int y, const LinearRgb& c) const;
    float gain(int x, int y, const LinearRgb& d) const;
    float swapGain(int x, int y, int nx, int ny, const LinearRgb& d) const;
    void recost(const Area& area);
    void changed(int x, int y);
    bool trySwaps(int x, int y);
    bool tryChanges(int x, int y);

    const MethodPalette& palette_;
    IndexImage image_;
    Lobe across_, down_;
    LinearImage seen_;  // the blurred picture at each lattice point
    std::vector<Oklab> target_;
    std::vector<float> cost_;
    std::vector<std::uint8_t> settled_;  // per grid pixel
};

// A change at (x, y) alters the blurred picture within reach, which alters
// the gains of any pixel whose own reach, or its swap neighbour's, overlaps it.
void Refinement::changed(int x, int y)
{
    const int rx = across_.overlap() + 1, ry = down_.overlap() + 1;
    const int x0 = std::max(0, x - rx), x1 = std::min(image_.width - 1, x + rx);
    for (int ty = std::max(0, y - ry); ty <= std::min(image_.height - 1, y + ry); ++ty)
        std::fill_n(settled_.begin() + ty * image_.width + x0, x1 - x0 + 1, std::uint8_t{0});
}

void Refinement::add(LinearImage& into, int x, int y, const LinearRgb& c) const
{
    const Area a = reach(x, y);
    for (int py = a.y0; py <= a.y1; ++py)
        for (int px = a.x0; px <= a.x1; ++px) {
            const float w = across_.at(x, px) * down_.at(y, py);
            LinearRgb& p = into.pixels[point(px, py)];
            p.r += w * c.r;
            p.g += w * c.g;
            p.b += w * c.b;
        }
}

// The change in summed distance from adding `d` to the pixel at (x, y).
float Refinement::gain(int x, int y, const LinearRgb& d) const
{
    const Area a = reach(x, y);
    float total = 0;
    for (int py = a.y0; py <= a.y1; ++py)
        for (int px = a.x0; px <= a.x1; ++px) {
            const float w = across_.at(x, px) * down_.at(y, py);
            const std::size_t i = point(px, py);
            const LinearRgb& p = seen_.pixels[i];
            total += distance(LinearRgb{p.r + w * d.r, p.g + w * d.g, p.b + w * d.b}, i) - cost_[i];
        }
    return total;
}

// The change in summed distance from adding `d` at (x, y) and taking it
// away at its neighbour (nx, ny): their colours swapped.
float Refinement::swapGain(int x, int y, int nx, int ny, const LinearRgb& d) const
{
    const Area a = reach(x, y, nx, ny);
    float total = 0;
    for (int py = a.y0; py <= a.y1; ++py)
        for (int px = a.x0; px <= a.x1; ++px) {
            const float w = across_.at(x, px) * down_.at(y, py) - across_.at(nx, px) * down_.at(ny, py);
            const std::size_t i = point(px, py);
            const LinearRgb& p = seen_.pixels[i];
            total += distance(LinearRgb{p.r + w * d.r, p.g + w * d.g, p.b + w * d.b}, i) - cost_[i];
        }
    return total;
}

void Refinement::recost(const Area& a)
{
    for (int py = a.y0; py <= a.y1; ++py)
        for (int px = a.x0; px <= a.x1; ++px)
            cost_[point(px, py)] = distance(seen_.pixels[point(px, py)], point(px, py));
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
        recost(reach(x, y, nx, ny));
        std::swap(image_.at(x, y), image_.at(nx, ny));
        changed(x, y);
        changed(nx, ny);
        return true;
    }
    return false;
}

bool Refinement::tryChanges(int x, int y)
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
    recost(reach(x, y));
    image_.at(x, y) = static_cast<std::uint8_t>(bestColour);
    changed(x, y);
    return true;
}

}  // namespace

IndexImage refineByScore(const LinearImage& source, const MethodPalette& palette, IndexImage start, int scaleX,
                         int scaleY, const ProgressReport& progress, int maxSweeps)
{
    const Points points = pointsFor(scaleX, scaleY, source.pixels.size(), palette.count);
    Refinement refinement(source, palette, std::move(start), points, scaleX, scaleY);
    for (int sweep = 0; sweep < maxSweeps; ++sweep) {
        bool changed = false;
        for (int y = 0; y < source.height; ++y) {
            for (int x = 0; x < source.width; ++x)
                changed = refinement.improve(x, y) || changed;
            if (progress)  // each sweep has less to do: shown as half of what is left
                progress(1.0 - std::exp2(-(sweep + (y + 1.0) / source.height)));
        }
        if (!changed)
            break;
    }
    return refinement.take();
}
