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

// The nearest colour in OKLab, without branches, which a dithered picture
// would mispredict at every other pixel. With two colours it is the side of
// the plane halfway between them.
class Chooser {
public:
    explicit Chooser(const MethodPalette& palette) : palette_(palette)
    {
        const Oklab& a = palette.lab[0];
        const Oklab& b = palette.lab[1];
        towards_ = Oklab{b.L - a.L, b.a - a.a, b.b - a.b};
        halfway_ = 0.5f * (oklabDistance2(b, Oklab{}) - oklabDistance2(a, Oklab{}));
    }

    int pairColour(const Oklab& c) const
    {
        return c.L * towards_.L + c.a * towards_.a + c.b * towards_.b > halfway_ ? 1 : 0;
    }

    int nearest(const Oklab& colour) const
    {
        int best = 0;
        float bestDistance = oklabDistance2(palette_.lab[0], colour);
        for (int i = 1; i < palette_.count; ++i) {
            const float distance = oklabDistance2(palette_.lab[static_cast<std::size_t>(i)], colour);
            const bool closer = distance < bestDistance;
            best = closer ? i : best;
            bestDistance = closer ? distance : bestDistance;
        }
        return best;
    }

private:
    const MethodPalette& palette_;
    Oklab towards_;
    float halfway_ = 0;
};

// One row in one direction with the kernel's taps known to the compiler.
// The error rows' margins take taps beyond the sides and the ring takes rows
// below the last, so no tap needs a bounds check. The error for the next
// pixel along the row stays in a register: it is the one the next choice
// waits for.
template <const auto& taps, int direction, bool pair>
void diffuseRow(const LinearImage& source, const MethodPalette& palette, const Chooser& chooser, float damping, int y,
                ErrorRows& error, IndexImage& result)
{
    std::array<float, taps.size()> weights{};
    for (std::size_t t = 0; t < taps.size(); ++t)
        weights[t] = damping * taps[t].weight;
    LinearRgb* const rows[kRows] = {&error.at(0, y), &error.at(0, y + 1), &error.at(0, y + 2)};
    LinearRgb next{};
    for (int i = 0; i < source.width; ++i) {
        const int x = direction > 0 ? i : source.width - 1 - i;
        const LinearRgb& in = source.at(x, y);
        const LinearRgb& carried = rows[0][x];
        const LinearRgb wanted{held(in.r + carried.r + next.r), held(in.g + carried.g + next.g),
                               held(in.b + carried.b + next.b)};
        const Oklab lab = toOklabFast<roughCbrt>(wanted);
        const int chosen = pair ? chooser.pairColour(lab) : chooser.nearest(lab);
        result.at(x, y) = static_cast<std::uint8_t>(chosen);
        const LinearRgb& shown = palette.linear[static_cast<std::size_t>(chosen)];
        const LinearRgb miss{wanted.r - shown.r, wanted.g - shown.g, wanted.b - shown.b};
        next = LinearRgb{};
        for (std::size_t t = 0; t < taps.size(); ++t) {
            const Tap& tap = taps[t];
            LinearRgb& to = tap.dx == 1 && tap.dy == 0 ? next : rows[tap.dy][x + direction * tap.dx];
            to.r += weights[t] * miss.r;
            to.g += weights[t] * miss.g;
            to.b += weights[t] * miss.b;
        }
    }
}

// Serpentine: even rows rightward, odd rows leftward.
template <const auto& taps, bool pair>
IndexImage diffuseWith(const LinearImage& source, const MethodPalette& palette, float damping)
{
    const Chooser chooser(palette);
    IndexImage result(source.width, source.height);
    ErrorRows error(source.width);
    for (int y = 0; y < source.height; ++y) {
        error.clearRow(y + kRows - 1);
        if (y % 2 == 0)
            diffuseRow<taps, 1, pair>(source, palette, chooser, damping, y, error, result);
        else
            diffuseRow<taps, -1, pair>(source, palette, chooser, damping, y, error, result);
    }
    return result;
}

template <const auto& taps>
IndexImage diffuseWith(const LinearImage& source, const MethodPalette& palette, float damping)
{
    return palette.count == 2 ? diffuseWith<taps, true>(source, palette, damping)
                              : diffuseWith<taps, false>(source, palette, damping);
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
