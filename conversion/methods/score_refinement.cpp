#include "conversion/methods/score_refinement.h"

#include "conversion/fast_oklab.h"
#include "conversion/perceptual/blurred_error.h"
#include "conversion/perceptual/gaussian_blur.h"
#include "conversion/perceptual/linear_sums.h"
#include "conversion/perceptual/sweeps.h"

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
    const Gaussian eye(kScoreSigma);
    const auto weightAt = [&](int s) {
        const float position = (static_cast<float>(s) + 0.5f) * static_cast<float>(scale) / static_cast<float>(samples) - 0.5f;
        float sum = 0;
        for (int i = 0; i < scale; ++i)
            sum += eye.curve(position - static_cast<float>(i));
        return sum / eye.total();
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
    Refinement(const LinearImage& source, const RowPalettes& palettes, IndexImage start, const Points& points,
               int scaleX, int scaleY)
        : palettes_(palettes), image_(std::move(start)), across_(lobeOf(scaleX, points.across)),
          down_(lobeOf(scaleY, points.down)),
          error_(oklabOf(onLattice([&](int x, int y) { return source.at(x, y); }), toOklabFast<>),
                 onLattice([&](int x, int y) { return shown(x, y); })),
          settled_(source.pixels.size(), 0)
    {
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
    const LinearRgb& shown(int x, int y) const { return palettes_.row(y).linear[image_.at(x, y)]; }
    // Logical colour `colour` as row y shows it.
    const LinearRgb& colourOf(int y, int colour) const
    {
        return palettes_.row(y).linear[static_cast<std::size_t>(colour)];
    }
    int latticeWidth() const { return image_.width * across_.samples; }
    int latticeHeight() const { return image_.height * down_.samples; }
    // The lattice points the pixels (x, y) and (nx, ny) reach.
    Area reach(int x, int y, int nx, int ny) const
    {
        return Area{std::max(0, across_.first(std::min(x, nx))), std::min(latticeWidth() - 1, across_.last(std::max(x, nx))),
                    std::max(0, down_.first(std::min(y, ny))), std::min(latticeHeight() - 1, down_.last(std::max(y, ny)))};
    }
    Area reach(int x, int y) const { return reach(x, y, x, y); }
    std::size_t point(int px, int py) const { return static_cast<std::size_t>(py * latticeWidth() + px); }
    // Calls visit(point, weight) for each lattice point pixel (x, y) reaches.
    template <typename Visit>
    void eachPoint(int x, int y, Visit visit) const
    {
        const Area a = reach(x, y);
        for (int py = a.y0; py <= a.y1; ++py)
            for (int px = a.x0; px <= a.x1; ++px)
                visit(point(px, py), across_.at(x, px) * down_.at(y, py));
    }
    // The picture whose pixel (x, y) has colourAt(x, y), blurred onto the lattice.
    template <typename ColourAt>
    LinearImage onLattice(ColourAt colourAt) const;
    void add(int x, int y, const LinearRgb& d)
    {
        eachPoint(x, y, [&](std::size_t i, float w) { error_.add(i, w * d); });
    }
    float gain(int x, int y, const LinearRgb& d) const;
    float swapGain(int x, int y, int nx, int ny, const LinearRgb& d) const;
    float swapGain(int x, int y, int nx, int ny, const LinearRgb& here, const LinearRgb& there) const;
    void swapBetweenPalettes(int x, int y, int nx, int ny, const LinearRgb& here, const LinearRgb& there);
    void changed(int x, int y);
    bool trySwaps(int x, int y);
    bool tryChanges(int x, int y);

    const RowPalettes& palettes_;
    IndexImage image_;
    Lobe across_, down_;
    BlurredError<roughCbrt> error_;  // over the lattice
    std::vector<std::uint8_t> settled_;  // per grid pixel
};

template <typename ColourAt>
LinearImage Refinement::onLattice(ColourAt colourAt) const
{
    LinearImage blurred(latticeWidth(), latticeHeight());
    for (int y = 0; y < image_.height; ++y)
        for (int x = 0; x < image_.width; ++x) {
            const LinearRgb c = colourAt(x, y);
            eachPoint(x, y, [&](std::size_t i, float w) {
                LinearRgb& p = blurred.pixels[i];
                p.r += w * c.r;
                p.g += w * c.g;
                p.b += w * c.b;
            });
        }
    return blurred;
}

// A change at (x, y) alters the blurred picture within reach, which alters
// the gains of any pixel whose own reach, or its swap neighbour's, overlaps it.
void Refinement::changed(int x, int y)
{
    const int rx = across_.overlap() + 1, ry = down_.overlap() + 1;
    const int x0 = std::max(0, x - rx), x1 = std::min(image_.width - 1, x + rx);
    for (int ty = std::max(0, y - ry); ty <= std::min(image_.height - 1, y + ry); ++ty)
        std::fill_n(settled_.begin() + ty * image_.width + x0, x1 - x0 + 1, std::uint8_t{0});
}

// The change in summed distance from adding `d` to the pixel at (x, y).
float Refinement::gain(int x, int y, const LinearRgb& d) const
{
    float total = 0;
    eachPoint(x, y, [&](std::size_t i, float w) { total += error_.changeIf(i, w * d); });
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
            total += error_.changeIf(point(px, py), w * d);
        }
    return total;
}

// The change in summed distance from adding `here` at (x, y) and `there`
// at its neighbour (nx, ny): their logical colours swapped where the two
// rows show different palettes.
float Refinement::swapGain(int x, int y, int nx, int ny, const LinearRgb& here, const LinearRgb& there) const
{
    const Area a = reach(x, y, nx, ny);
    float total = 0;
    for (int py = a.y0; py <= a.y1; ++py)
        for (int px = a.x0; px <= a.x1; ++px) {
            const LinearRgb d = (across_.at(x, px) * down_.at(y, py)) * here + (across_.at(nx, px) * down_.at(ny, py)) * there;
            total += error_.changeIf(point(px, py), d);
        }
    return total;
}

void Refinement::swapBetweenPalettes(int x, int y, int nx, int ny, const LinearRgb& here, const LinearRgb& there)
{
    eachPoint(x, y, [&](std::size_t i, float w) { error_.shift(i, w * here); });
    eachPoint(nx, ny, [&](std::size_t i, float w) { error_.shift(i, w * there); });
    const Area a = reach(x, y, nx, ny);
    for (int py = a.y0; py <= a.y1; ++py)
        for (int px = a.x0; px <= a.x1; ++px)
            error_.recost(point(px, py));
    std::swap(image_.at(x, y), image_.at(nx, ny));
    changed(x, y);
    changed(nx, ny);
}

// Swaps (x, y) with its right or lower neighbour when that lowers the distance.
bool Refinement::trySwaps(int x, int y)
{
    const int neighbours[2][2] = {{x + 1, y}, {x, y + 1}};
    for (const auto& n : neighbours) {
        const int nx = n[0], ny = n[1];
        if (nx >= image_.width || ny >= image_.height || image_.at(nx, ny) == image_.at(x, y))
            continue;
        if (!palettes_.sameColours(y, ny)) {
            const LinearRgb here = colourOf(y, image_.at(nx, ny)) - shown(x, y);
            const LinearRgb there = colourOf(ny, image_.at(x, y)) - shown(nx, ny);
            if (swapGain(x, y, nx, ny, here, there) >= -1e-6f)
                continue;
            swapBetweenPalettes(x, y, nx, ny, here, there);
            return true;
        }
        const LinearRgb d = shown(nx, ny) - shown(x, y);
        if (swapGain(x, y, nx, ny, d) >= -1e-6f)
            continue;
        // Both halves reach the same samples: shifted by each, recosted once.
        eachPoint(x, y, [&](std::size_t i, float w) { error_.shift(i, w * d); });
        eachPoint(nx, ny, [&](std::size_t i, float w) { error_.shift(i, w * -d); });
        const Area a = reach(x, y, nx, ny);
        for (int py = a.y0; py <= a.y1; ++py)
            for (int px = a.x0; px <= a.x1; ++px)
                error_.recost(point(px, py));
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
    const LinearRgb& now = shown(x, y);
    float best = -1e-6f;
    int bestColour = -1;
    for (int to = 0; to < palettes_.count(); ++to) {
        if (to == image_.at(x, y))
            continue;
        if (const float g = gain(x, y, colourOf(y, to) - now); g < best) {
            best = g;
            bestColour = to;
        }
    }
    if (bestColour < 0)
        return false;
    add(x, y, colourOf(y, bestColour) - now);
    image_.at(x, y) = static_cast<std::uint8_t>(bestColour);
    changed(x, y);
    return true;
}

}  // namespace

IndexImage refineByScore(const LinearImage& source, const RowPalettes& palette, IndexImage start, int scaleX,
                         int scaleY, const ProgressReport& progress, int maxSweeps, std::stop_token stop)
{
    const Points points = pointsFor(scaleX, scaleY, source.pixels.size(), palette.count());
    Refinement refinement(source, palette, std::move(start), points, scaleX, scaleY);
    sweepUntilSettled(
        source.width, source.height, maxSweeps, [&](int x, int y, int) { return refinement.improve(x, y); },
        [&](int sweep, int y) {
            if (progress)  // each sweep has less to do: shown as half of what is left
                progress(1.0 - std::exp2(-(sweep + (y + 1.0) / source.height)));
            return !stop.stop_requested();
        });
    return refinement.take();
}
