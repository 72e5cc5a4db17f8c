#include "conversion/methods/error_diffusion.h"

#include "conversion/methods/fast_oklab.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

struct Tap {
    int dx;
    int dy;
    float weight;
};

constexpr std::array kFloydSteinberg{Tap{1, 0, 7 / 16.f}, Tap{-1, 1, 3 / 16.f}, Tap{0, 1, 5 / 16.f},
                                     Tap{1, 1, 1 / 16.f}};
// Atkinson passes on three quarters of the error: six neighbours at 1/8.
constexpr std::array kAtkinson{Tap{1, 0, 1 / 8.f}, Tap{2, 0, 1 / 8.f}, Tap{-1, 1, 1 / 8.f},
                               Tap{0, 1, 1 / 8.f}, Tap{1, 1, 1 / 8.f}, Tap{0, 2, 1 / 8.f}};
constexpr std::array kSierraLite{Tap{1, 0, 2 / 4.f}, Tap{-1, 1, 1 / 4.f}, Tap{0, 1, 1 / 4.f}};
constexpr std::array kJarvis{
    Tap{1, 0, 7 / 48.f},  Tap{2, 0, 5 / 48.f},  Tap{-2, 1, 3 / 48.f}, Tap{-1, 1, 5 / 48.f},
    Tap{0, 1, 7 / 48.f},  Tap{1, 1, 5 / 48.f},  Tap{2, 1, 3 / 48.f},  Tap{-2, 2, 1 / 48.f},
    Tap{-1, 2, 3 / 48.f}, Tap{0, 2, 5 / 48.f},  Tap{1, 2, 3 / 48.f},  Tap{2, 2, 1 / 48.f}};
constexpr std::array kStucki{
    Tap{1, 0, 8 / 42.f},  Tap{2, 0, 4 / 42.f},  Tap{-2, 1, 2 / 42.f}, Tap{-1, 1, 4 / 42.f},
    Tap{0, 1, 8 / 42.f},  Tap{1, 1, 4 / 42.f},  Tap{2, 1, 2 / 42.f},  Tap{-2, 2, 1 / 42.f},
    Tap{-1, 2, 2 / 42.f}, Tap{0, 2, 4 / 42.f},  Tap{1, 2, 2 / 42.f},  Tap{2, 2, 1 / 42.f}};

constexpr int kMargin = 2;  // columns either side, so taps never leave the rows
constexpr int kRows = 3;    // this row and the two below receive error

// Error waiting for the next rows, in a ring of three padded rows.
class ErrorRows {
public:
    explicit ErrorRows(int width) : width_(width + 2 * kMargin), rows_(static_cast<std::size_t>(kRows * width_)) {}

    LinearRgb& at(int x, int row) { return rows_[static_cast<std::size_t>((row % kRows) * width_ + x + kMargin)]; }

    void clearRow(int row)
    {
        std::fill_n(rows_.begin() + (row % kRows) * width_, width_, LinearRgb{});
    }

private:
    int width_;
    std::vector<LinearRgb> rows_;
};

float held(float v)
{
    return std::clamp(v, -0.5f, 1.5f);
}

// The nearest colour without branches, which a dithered picture would
// mispredict at every other pixel.
int nearestOf(const MethodPalette& palette, const Oklab& colour)
{
    int best = 0;
    float bestDistance = oklabDistance2(palette.lab[0], colour);
    for (int i = 1; i < palette.count; ++i) {
        const float distance = oklabDistance2(palette.lab[static_cast<std::size_t>(i)], colour);
        const bool closer = distance < bestDistance;
        best = closer ? i : best;
        bestDistance = closer ? distance : bestDistance;
    }
    return best;
}

// One row in one direction with the kernel's taps known to the compiler.
// The error rows' margins take taps beyond the sides and the ring takes rows
// below the last, so no tap needs a bounds check.
template <const auto& taps, int direction>
void diffuseRow(const LinearImage& source, const MethodPalette& palette, float damping, int y, ErrorRows& error,
                IndexImage& result)
{
    for (int i = 0; i < source.width; ++i) {
        const int x = direction > 0 ? i : source.width - 1 - i;
        const LinearRgb& in = source.at(x, y);
        const LinearRgb& carried = error.at(x, y);
        const LinearRgb wanted{held(in.r + carried.r), held(in.g + carried.g), held(in.b + carried.b)};
        const int chosen = nearestOf(palette, toOklabFast<roughCbrt>(wanted));
        result.at(x, y) = static_cast<std::uint8_t>(chosen);
        const LinearRgb& shown = palette.linear[static_cast<std::size_t>(chosen)];
        const LinearRgb miss{damping * (wanted.r - shown.r), damping * (wanted.g - shown.g),
                             damping * (wanted.b - shown.b)};
        for (const Tap& tap : taps) {
            LinearRgb& to = error.at(x + direction * tap.dx, y + tap.dy);
            to.r += tap.weight * miss.r;
            to.g += tap.weight * miss.g;
            to.b += tap.weight * miss.b;
        }
    }
}

// Serpentine: even rows rightward, odd rows leftward.
template <const auto& taps>
IndexImage diffuseWith(const LinearImage& source, const MethodPalette& palette, float damping)
{
    IndexImage result(source.width, source.height);
    ErrorRows error(source.width);
    for (int y = 0; y < source.height; ++y) {
        error.clearRow(y + kRows - 1);
        if (y % 2 == 0)
            diffuseRow<taps, 1>(source, palette, damping, y, error, result);
        else
            diffuseRow<taps, -1>(source, palette, damping, y, error, result);
    }
    return result;
}

}  // namespace

IndexImage diffuseError(const LinearImage& source, const MethodPalette& palette,
                        DiffusionKernel kernel, float damping)
{
    switch (kernel) {
    case DiffusionKernel::FloydSteinberg: return diffuseWith<kFloydSteinberg>(source, palette, damping);
    case DiffusionKernel::Atkinson: return diffuseWith<kAtkinson>(source, palette, damping);
    case DiffusionKernel::SierraLite: return diffuseWith<kSierraLite>(source, palette, damping);
    case DiffusionKernel::Jarvis: return diffuseWith<kJarvis>(source, palette, damping);
    case DiffusionKernel::Stucki: return diffuseWith<kStucki>(source, palette, damping);
    }
    return diffuseWith<kFloydSteinberg>(source, palette, damping);
}
