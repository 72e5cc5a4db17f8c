#include "conversion/methods/binary_search.h"

#include "conversion/colour_space.h"
#include "conversion/perceptual/eye_filter.h"
#include "conversion/perceptual/gaussian_blur.h"
#include "conversion/perceptual/linear_sums.h"
#include "conversion/perceptual/sweeps.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

// A 3 x 3 matrix taking a small linear-light change to the OKLab change it
// makes near one colour.
using Jacobian = std::array<float, 9>;

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

float dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 sensed(const Jacobian& j, const LinearRgb& c)
{
    return Vec3{j[0] * c.r + j[1] * c.g + j[2] * c.b, j[3] * c.r + j[4] * c.g + j[5] * c.b,
                j[6] * c.r + j[7] * c.g + j[8] * c.b};
}

// OKLab's sensitivity near `colour`, by differences; very dark colours are
// taken as a little lighter, where the cube root's slope stays finite.
Jacobian jacobianAt(LinearRgb colour)
{
    constexpr float floor = 0.01f, step = 0.002f;
    colour = LinearRgb{std::clamp(colour.r, floor, 1.0f), std::clamp(colour.g, floor, 1.0f),
                       std::clamp(colour.b, floor, 1.0f)};
    const Oklab base = toOklab(colour);
    Jacobian j{};
    for (int c = 0; c < 3; ++c) {
        LinearRgb moved = colour;
        (c == 0 ? moved.r : c == 1 ? moved.g : moved.b) += step;
        const Oklab m = toOklab(moved);
        j[static_cast<std::size_t>(c)] = (m.L - base.L) / step;
        j[static_cast<std::size_t>(3 + c)] = (m.a - base.a) / step;
        j[static_cast<std::size_t>(6 + c)] = (m.b - base.b) / step;
    }
    return j;
}

// The search's working state: the picture, each pixel's sensitivity and the
// error filtered twice by the eye (so that a change's effect on the total
// error is read at one place).
class Search {
public:
    Search(const LinearImage& source, const RowPalettes& palettes, IndexImage start, const EyeFilter& filter)
        : palettes_(palettes), image_(std::move(start)), filter_(filter),
          sensitivity_(source.pixels.size()), filtered_(source.pixels.size())
    {
        for (std::size_t i = 0; i < source.pixels.size(); ++i)
            sensitivity_[i] = jacobianAt(source.pixels[i]);
        for (int y = 0; y < image_.height; ++y)
            for (int x = 0; x < image_.width; ++x)
                spread(x, y, sensed(jacobian(x, y), shown(x, y) - source.at(x, y)));
    }

    // Tries every change at (x, y) and makes the best that lowers the error.
    bool improve(int x, int y);
    IndexImage take() { return std::move(image_); }

private:
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y * image_.width + x); }
    const Jacobian& jacobian(int x, int y) const { return sensitivity_[index(x, y)]; }
    const LinearRgb& shown(int x, int y) const { return palettes_.row(y).linear[image_.at(x, y)]; }
    // Logical colour `to` at (x, y), in the palette of row y.
    Vec3 change(int x, int y, int to) const
    {
        return sensed(jacobian(x, y), palettes_.row(y).linear[static_cast<std::size_t>(to)] - shown(x, y));
    }

    struct Move {
        float gain;
        int colour;
        int nx, ny;
    };
    Move bestMove(int x, int y) const;
    void spread(int x, int y, const Vec3& d);
    float swapGain(int x, int y, int nx, int ny, Vec3& here, Vec3& there) const;

    const RowPalettes& palettes_;
    IndexImage image_;
    const EyeFilter& filter_;
    std::vector<Jacobian> sensitivity_;
    std::vector<Vec3> filtered_;
};

void Search::spread(int x, int y, const Vec3& d)
{
    const int x0 = std::max(0, x - filter_.radiusX()), x1 = std::min(image_.width - 1, x + filter_.radiusX());
    const int y0 = std::max(0, y - filter_.radiusY()), y1 = std::min(image_.height - 1, y + filter_.radiusY());
    for (int ty = y0; ty <= y1; ++ty)
        for (int tx = x0; tx <= x1; ++tx) {
            const float k = filter_.at(tx - x, ty - y);
            Vec3& f = filtered_[index(tx, ty)];
            f.x += k * d.x;
            f.y += k * d.y;
            f.z += k * d.z;
        }
}

// The change in error from swapping the colours of (x, y) and (nx, ny).
float Search::swapGain(int x, int y, int nx, int ny, Vec3& here, Vec3& there) const
{
    here = change(x, y, image_.at(nx, ny));
    there = change(nx, ny, image_.at(x, y));
    const float c0 = filter_.at(0, 0);
    return 2 * dot(here, filtered_[index(x, y)]) + 2 * dot(there, filtered_[index(nx, ny)]) +
           (dot(here, here) + dot(there, there)) * c0 + 2 * dot(here, there) * filter_.at(nx - x, ny - y);
}

// The change at (x, y) that lowers the error most: a new colour, or a swap
// with the neighbour at (nx, ny); colour and nx both -1 when none lowers it.
Search::Move Search::bestMove(int x, int y) const
{
    const float c0 = filter_.at(0, 0);
    const Vec3& f = filtered_[index(x, y)];
    Move best{-1e-7f, -1, -1, -1};
    for (int to = 0; to < palettes_.count(); ++to) {
        if (to == image_.at(x, y))
            continue;
        const Vec3 d = change(x, y, to);
        if (const float gain = 2 * dot(d, f) + dot(d, d) * c0; gain < best.gain)
            best = Move{gain, to, -1, -1};
    }
    for (int ny = std::max(0, y - 1); ny <= std::min(image_.height - 1, y + 1); ++ny)
        for (int nx = std::max(0, x - 1); nx <= std::min(image_.width - 1, x + 1); ++nx) {
            if (image_.at(nx, ny) == image_.at(x, y))
                continue;
            Vec3 here, there;
            if (const float gain = swapGain(x, y, nx, ny, here, there); gain < best.gain)
                best = Move{gain, -1, nx, ny};
        }
    return best;
}

bool Search::improve(int x, int y)
{
    const Move move = bestMove(x, y);
    if (move.colour >= 0) {
        spread(x, y, change(x, y, move.colour));
        image_.at(x, y) = static_cast<std::uint8_t>(move.colour);
        return true;
    }
    if (move.nx < 0)
        return false;
    Vec3 here, there;
    swapGain(x, y, move.nx, move.ny, here, there);
    spread(x, y, here);
    spread(move.nx, move.ny, there);
    std::swap(image_.at(x, y), image_.at(move.nx, move.ny));
    return true;
}

}  // namespace

IndexImage directBinarySearch(const LinearImage& source, const RowPalettes& palette, IndexImage start,
                              int scaleX, int scaleY, const ProgressReport& progress, int maxSweeps,
                              std::stop_token stop)
{
    const EyeFilter filter(scaleX, scaleY, kScoreSigma);
    Search search(source, palette, std::move(start), filter);
    sweepUntilSettled(
        source.width, source.height, maxSweeps, [&](int x, int y, int) { return search.improve(x, y); },
        [&](int sweep, int y) {
            if (progress)
                progress((sweep + (y + 1.0) / source.height) / maxSweeps);
            return !stop.stop_requested();
        });
    return search.take();
}
