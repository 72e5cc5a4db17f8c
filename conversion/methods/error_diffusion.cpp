#include "conversion/methods/error_diffusion.h"

#include "conversion/fast_oklab.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// A colour is r, g, b and an unused lane that stays 0; a set of hypotheses
// is one component of four colours.
using Floats = FloatLanes;
using Ints = std::int32_t __attribute__((vector_size(16)));

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

// The weight of the kernel's tap at (dx, dy), 0 if it has none.
template <const auto& taps>
constexpr float weightAt(int dx, int dy)
{
    for (const Tap& tap : taps)
        if (tap.dx == dx && tap.dy == dy)
            return tap.weight;
    return 0;
}

Floats colourLanes(const LinearRgb& c)
{
    return Floats{c.r, c.g, c.b, 0.0f};
}

// std::clamp(v, -0.5, 1.5) in each lane: the error a pixel can hold.
Floats held(Floats v)
{
    const Floats low = Floats{} - 0.5f, high = Floats{} + 1.5f;
    const Floats belowHigh = high < v ? high : v;
    return v < low ? low : belowHigh;
}

Floats lanesOf(float v)
{
    return Floats{} + v;
}

// The palette colours and the nearest one in OKLab to each of four wanted
// colours at once, without branches, which a dithered picture would
// mispredict at every other pixel. `colours` is 2, or 4 for up to four:
// missing colours repeat colour 0, which then never counts as nearer. With
// two colours the nearest is the side of the plane halfway between them.
// The choices come packed into one integer, `bits` per colour, so that
// taking the one for a given hypothesis is a shift.
template <int colours>
class Chooser {
public:
    static constexpr int bits = colours == 2 ? 1 : 2;

    explicit Chooser(const MethodPalette& palette)
    {
        for (std::size_t i = 0; i < colours; ++i) {
            for (int lane = 0; lane < 4; ++lane)
                code_[i][lane] = static_cast<std::int32_t>(i) << (bits * lane);
            lab_[i] = palette.lab[static_cast<int>(i) < palette.count ? i : 0];
        }
        const Oklab& a = palette.lab[0];
        const Oklab& b = palette.lab[1];
        towards_ = Oklab{b.L - a.L, b.a - a.a, b.b - a.b};
        halfway_ = 0.5f * (oklabDistance2(b, Oklab{}) - oklabDistance2(a, Oklab{}));
    }

    // The choices for the colours (r[k], g[k], b[k]) packed: choice k is
    // (result >> (bits * k)) & ((1 << bits) - 1).
    unsigned nearest(Floats r, Floats g, Floats b) const
    {
        const OklabLanes lab = toOklabLanes<roughCbrtLanes>(r, g, b);
        Ints chosen;
        if constexpr (colours == 2) {
            const Ints far = lab.L * towards_.L + lab.a * towards_.a + lab.b * towards_.b > halfway_;
            chosen = far & code_[1];
        } else {
            Floats bestDistance = distance(lab_[0], lab);
            chosen = code_[0];
            for (std::size_t i = 1; i < colours; ++i) {
                const Floats d = distance(lab_[i], lab);
                const Ints closer = d < bestDistance;
                chosen = closer ? code_[i] : chosen;
                bestDistance = closer ? d : bestDistance;
            }
        }
        chosen |= __builtin_shufflevector(chosen, chosen, 2, 3, 0, 1);
        chosen |= __builtin_shufflevector(chosen, chosen, 1, 0, 3, 2);
        return static_cast<unsigned>(chosen[0]);
    }

private:
    static Floats distance(const Oklab& colour, const OklabLanes& lab)
    {
        const Floats dL = colour.L - lab.L, da = colour.a - lab.a, db = colour.b - lab.b;
        return dL * dL + da * da + db * db;
    }

    std::array<Ints, colours> code_{};
    std::array<Oklab, colours> lab_{};
    Oklab towards_;
    float halfway_ = 0;
};

// The logical colour nearest in OKLab to one colour, for any number of
// colours, without branches.
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

// Error waiting for the next rows: three padded rows, used as a ring.
class ErrorRows {
public:
    explicit ErrorRows(int width)
        : width_(width + 2 * kMargin), store_(static_cast<std::size_t>(kRows * width_))
    {
        for (int i = 0; i < kRows; ++i)
            rows_[static_cast<std::size_t>(i)] = store_.data() + i * width_ + kMargin;
    }

    // The error for the row `dy` below the current one; x from -kMargin.
    Floats* row(int dy) const { return rows_[static_cast<std::size_t>(dy)]; }

    // Moves down a row: the current row's storage, cleared, becomes the lowest.
    void advance()
    {
        Floats* const done = rows_[0];
        rows_[0] = rows_[1];
        rows_[1] = rows_[2];
        rows_[2] = done;
        std::fill_n(done - kMargin, width_, Floats{});
    }

private:
    int width_;
    std::vector<Floats> store_;
    std::array<Floats*, kRows> rows_{};
};

// The wanted colours of a pixel for each choice the pixel before it may
// make: held(base + weight * (before - shown[k])), as colours and as lanes
// for the chooser. (One pixel at a time added that share to a zero first,
// which can change only the sign of a zero, and no comparison sees that.)
template <int colours>
struct Hypotheses {
    std::array<Floats, colours> colour;  // r, g, b of hypothesis k
    Floats r, g, b;                      // hypothesis k in lane k

    void fill(Floats same)
    {
        colour.fill(same);
        r = lanesOf(same[0]);
        g = lanesOf(same[1]);
        b = lanesOf(same[2]);
    }

    void make(Floats base, Floats before, float weight, const std::array<Floats, colours>& shown)
    {
        for (std::size_t k = 0; k < colours; ++k)
            colour[k] = held(base + weight * (before - shown[k]));
        if constexpr (colours == 2) {
            const Floats rg = __builtin_shufflevector(colour[0], colour[1], 0, 4, 1, 5);
            const Floats bx = __builtin_shufflevector(colour[0], colour[1], 2, 6, 3, 7);
            r = __builtin_shufflevector(rg, rg, 0, 1, 0, 1);
            g = __builtin_shufflevector(rg, rg, 2, 3, 2, 3);
            b = __builtin_shufflevector(bx, bx, 0, 1, 0, 1);
        } else {
            const Floats rg01 = __builtin_shufflevector(colour[0], colour[1], 0, 4, 1, 5);
            const Floats rg23 = __builtin_shufflevector(colour[2], colour[3], 0, 4, 1, 5);
            const Floats bx01 = __builtin_shufflevector(colour[0], colour[1], 2, 6, 3, 7);
            const Floats bx23 = __builtin_shufflevector(colour[2], colour[3], 2, 6, 3, 7);
            r = __builtin_shufflevector(rg01, rg23, 0, 1, 4, 5);
            g = __builtin_shufflevector(rg01, rg23, 2, 3, 6, 7);
            b = __builtin_shufflevector(bx01, bx23, 0, 1, 4, 5);
        }
    }
};

// The shares of a pixel's error for the rows below.
template <const auto& taps, int direction>
void passDown(Floats* const rows[kRows], const std::array<float, taps.size()>& weights, int x, Floats miss)
{
    for (std::size_t t = 0; t < taps.size(); ++t)
        if (taps[t].dy > 0)
            rows[taps[t].dy][x + direction * taps[t].dx] += weights[t] * miss;
}

template <const auto& taps>
std::array<float, taps.size()> dampedWeights(float damping)
{
    std::array<float, taps.size()> weights{};
    for (std::size_t t = 0; t < taps.size(); ++t)
        weights[t] = damping * taps[t].weight;
    return weights;
}

// One row in one direction with the kernel's taps known to the compiler.
// The error rows' margins take taps beyond the sides and the ring takes rows
// below the last, so no tap needs a bounds check.
//
// A pixel's choice waits for the error of the pixel before it, which waits
// for that pixel's choice: a long chain through the cube roots. To halve it,
// the wanted colour of the next pixel is worked out for every colour this
// one may take, and those are matched while this one's choice is still
// being made; once it is known, it picks the next pixel's choice among them.
// Every value is computed with the same operations in the same order as one
// pixel at a time would, so the result is the same to the bit.
template <const auto& taps, int direction, int colours>
void diffuseRow(const LinearImage& source, const std::array<Floats, colours>& shown, const Chooser<colours>& chooser,
                float damping, int y, const ErrorRows& error, IndexImage& result)
{
    constexpr int kChoiceMask = (1 << Chooser<colours>::bits) - 1;
    const auto weights = dampedWeights<taps>(damping);
    // Every kernel gives the next pixel along the row a share, which the
    // hypotheses take; some give the one after it a share too, which waits
    // in `soon` rather than in the row.
    const float along = damping * weightAt<taps>(1, 0);
    const float twoAlong = damping * weightAt<taps>(2, 0);

    const int width = source.width;
    const LinearRgb* const in = &source.at(0, y);
    std::uint8_t* const out = &result.at(0, y);
    Floats* const rows[kRows] = {error.row(0), error.row(1), error.row(2)};

    // The first pixel has no error from along the row: every hypothesis is
    // the same.
    int x = direction > 0 ? 0 : width - 1;
    Hypotheses<colours> hypotheses;
    const Floats first = held(colourLanes(in[x]) + rows[0][x] + Floats{});
    hypotheses.fill(first);
    unsigned choices = chooser.nearest(hypotheses.r, hypotheses.g, hypotheses.b);
    int before = 0;
    Floats soon = rows[0][x + direction];  // the error waiting for the next pixel
    for (int i = 0; i < width; ++i, x += direction) {
        const Floats wanted = hypotheses.colour[static_cast<std::size_t>(before)];
        const int chosen = static_cast<int>(choices >> (Chooser<colours>::bits * before)) & kChoiceMask;
        out[x] = static_cast<std::uint8_t>(chosen);
        const Floats miss = wanted - shown[static_cast<std::size_t>(chosen)];
        passDown<taps, direction>(rows, weights, x, miss);
        const Floats carried = soon;
        soon = rows[0][x + 2 * direction];
        if constexpr (weightAt<taps>(2, 0) != 0)
            soon += twoAlong * miss;
        if (i + 1 < width) {
            const Floats base = colourLanes(in[x + direction]) + carried;
            hypotheses.make(base, wanted, along, shown);
            choices = chooser.nearest(hypotheses.r, hypotheses.g, hypotheses.b);
        }
        before = chosen;
    }
}

// With more than four colours a hypothesis for each would cost more than it
// saves: one pixel at a time, the error for the next pixel in a register.
template <const auto& taps, int direction>
void diffuseRowOneByOne(const LinearImage& source, const MethodPalette& palette,
                        const std::array<Floats, kMaxMethodColours>& shown, float damping, int y, const ErrorRows& error,
                        IndexImage& result)
{
    const auto weights = dampedWeights<taps>(damping);
    const LinearRgb* const in = &source.at(0, y);
    std::uint8_t* const out = &result.at(0, y);
    Floats* const rows[kRows] = {error.row(0), error.row(1), error.row(2)};
    Floats next{};
    for (int i = 0, x = direction > 0 ? 0 : source.width - 1; i < source.width; ++i, x += direction) {
        const Floats wanted = held(colourLanes(in[x]) + rows[0][x] + next);
        const int chosen = nearestOf(palette, toOklabFast<roughCbrt>(LinearRgb{wanted[0], wanted[1], wanted[2]}));
        out[x] = static_cast<std::uint8_t>(chosen);
        const Floats miss = wanted - shown[static_cast<std::size_t>(chosen)];
        passDown<taps, direction>(rows, weights, x, miss);
        next = Floats{} + damping * weightAt<taps>(1, 0) * miss;
        if constexpr (weightAt<taps>(2, 0) != 0)
            rows[0][x + 2 * direction] += damping * weightAt<taps>(2, 0) * miss;
    }
}

template <int colours>
std::array<Floats, colours> shownColours(const MethodPalette& palette)
{
    std::array<Floats, colours> shown{};
    for (std::size_t k = 0; k < colours; ++k)
        shown[k] = colourLanes(palette.linear[static_cast<int>(k) < palette.count ? k : 0]);
    return shown;
}

// Serpentine: even rows rightward, odd rows leftward. Where the palette
// changes from one row to the next, the colours shown and the chooser are
// made again for the new row.
template <const auto& taps, int colours>
IndexImage diffuseWith(const LinearImage& source, const RowPalettes& palettes, float damping)
{
    IndexImage result(source.width, source.height);
    if (source.width == 0)
        return result;
    ErrorRows error(source.width);
    std::array<Floats, colours> shown = shownColours<colours>(palettes.first());
    if constexpr (colours > 4) {
        for (int y = 0; y < source.height; ++y) {
            if (y > 0 && !palettes.sameColours(y - 1, y))
                shown = shownColours<colours>(palettes.row(y));
            const MethodPalette& palette = palettes.row(y);
            if (y % 2 == 0)
                diffuseRowOneByOne<taps, 1>(source, palette, shown, damping, y, error, result);
            else
                diffuseRowOneByOne<taps, -1>(source, palette, shown, damping, y, error, result);
            error.advance();
        }
    } else {
        Chooser<colours> chooser(palettes.first());
        for (int y = 0; y < source.height; ++y) {
            if (y > 0 && !palettes.sameColours(y - 1, y)) {
                shown = shownColours<colours>(palettes.row(y));
                chooser = Chooser<colours>(palettes.row(y));
            }
            if (y % 2 == 0)
                diffuseRow<taps, 1, colours>(source, shown, chooser, damping, y, error, result);
            else
                diffuseRow<taps, -1, colours>(source, shown, chooser, damping, y, error, result);
            error.advance();
        }
    }
    return result;
}

template <const auto& taps>
IndexImage diffuseWith(const LinearImage& source, const RowPalettes& palettes, float damping)
{
    if (palettes.count() == 2)
        return diffuseWith<taps, 2>(source, palettes, damping);
    if (palettes.count() <= 4)
        return diffuseWith<taps, 4>(source, palettes, damping);
    return diffuseWith<taps, kMaxMethodColours>(source, palettes, damping);
}

}  // namespace

IndexImage diffuseError(const LinearImage& source, const RowPalettes& palette,
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
