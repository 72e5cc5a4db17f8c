#include "conversion/teletext/blur_refinement.h"

#include "conversion/colour_space.h"
#include "conversion/perceptual/blurred_error.h"
#include "conversion/perceptual/gaussian_blur.h"
#include "conversion/perceptual/linear_sums.h"
#include "conversion/perceptual/sweeps.h"
#include "conversion/teletext_chip.h"
#include "conversion/teletext/row_programme.h"
#include "conversion/teletext_glyphs.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

// The grid: each sample 4 display pixels wide and 2 lines high, so a cell is 4 × 10.
constexpr int kCellWide = kCellPixels / 4;
constexpr int kCellHigh = kCellLines / 2;
constexpr int kGridWidth = kTeletextColumns * kCellWide;
constexpr int kGridHeight = kTeletextRows * kCellHigh;
// The eye's Gaussian in grid samples: half a sample across and one down,
// cut off at two sigma across and three down.
constexpr float kSigmaX = kScoreSigma / (kCellPixels / kCellWide);
constexpr float kSigmaY = kScoreSigma / (kCellLines / kCellHigh);
constexpr int kRadiusX = 1;
constexpr int kRadiusY = 3;

using KernelX = std::array<float, 2 * kRadiusX + 1>;
using KernelY = std::array<float, 2 * kRadiusY + 1>;

template <std::size_t N>
std::array<float, N> kernel(float sigma)
{
    const std::vector<float> taps = Gaussian(sigma, static_cast<int>(N / 2)).taps();
    std::array<float, N> k{};
    std::copy(taps.begin(), taps.end(), k.begin());
    return k;
}

const KernelX& kernelX()
{
    static const KernelX k = kernel<2 * kRadiusX + 1>(kSigmaX);
    return k;
}

const KernelY& kernelY()
{
    static const KernelY k = kernel<2 * kRadiusY + 1>(kSigmaY);
    return k;
}

// The foreground's share of each grid sample of a cell: [style][sixels][y][x].
using ShareTable = std::array<std::array<std::array<std::array<float, kCellWide>, kCellHigh>, 64>, 2>;

ShareTable buildShares()
{
    ShareTable table{};
    for (int style = 0; style < 2; ++style)
        for (int sixels = 0; sixels < 64; ++sixels)
            for (int line = 0; line < kCellLines; ++line)
                for (int x = 0; x < kCellPixels; ++x)
                    table[style][sixels][line / 2][x / 4] +=
                        glyphWeight(static_cast<Sixels>(sixels), style == 1, x, line) / 24.0f;
    return table;
}

const ShareTable& shares()
{
    static const ShareTable table = buildShares();
    return table;
}


using CellSamples = std::array<LinearRgb, kCellWide * kCellHigh>;

// The cell's look over its grid samples, in linear light.
void drawLook(const CellLook& look, CellSamples& out)
{
    const LinearRgb fg = physicalLinear(look.foreground), bg = physicalLinear(look.background);
    const auto& table = shares()[look.separated ? 1 : 0][look.sixels & 63];
    for (int y = 0; y < kCellHigh; ++y)
        for (int x = 0; x < kCellWide; ++x) {
            const float s = table[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            out[static_cast<std::size_t>(y * kCellWide + x)] = s * fg + (1 - s) * bg;
        }
}

LinearImage blurred(const LinearImage& image)
{
    return gaussianBlur(image, std::vector<float>(kernelX().begin(), kernelX().end()),
                        std::vector<float>(kernelY().begin(), kernelY().end()));
}

// Cells one trial may change: the tried cell and the few after it.
constexpr int kMaxSpan = 4;
constexpr int kSpanWide = kMaxSpan * kCellWide;
// A change of the shown samples over kMaxSpan cells from a tried cell.
using SpanSamples = std::array<LinearRgb, kSpanWide * kCellHigh>;

// The grid samples a change inside a cell reaches after the blur: the box
// around the changed samples, widened by the kernel's radius.
struct Window {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    int firstRow = 0, lastRow = -1;                 // the changed rows of the cells
};

Window reach(const SpanSamples& delta, int left, int top)
{
    int x0 = kSpanWide, y0 = kCellHigh, x1 = -1, y1 = -1;
    for (int y = 0; y < kCellHigh; ++y)
        for (int x = 0; x < kSpanWide; ++x) {
            const LinearRgb& d = delta[static_cast<std::size_t>(y * kSpanWide + x)];
            if (d.r != 0 || d.g != 0 || d.b != 0) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
        }
    if (x1 < 0)
        return Window{};
    return Window{std::max(0, left + x0 - kRadiusX), std::max(0, top + y0 - kRadiusY),
                  std::min(kGridWidth, left + x1 + 1 + kRadiusX), std::min(kGridHeight, top + y1 + 1 + kRadiusY),
                  y0, y1};
}

// The screen's samples, each cell drawn as the chip shows it.
LinearImage shownSamples(const TeletextScreen& screen)
{
    LinearImage shown(kGridWidth, kGridHeight);
    CellSamples cell;
    for (int row = 0; row < kTeletextRows; ++row) {
        ChipState state;
        for (int column = 0; column < kTeletextColumns; ++column) {
            drawLook(showCell(state, screen.at(column, row)), cell);
            for (int y = 0; y < kCellHigh; ++y)
                for (int x = 0; x < kCellWide; ++x)
                    shown.at(column * kCellWide + x, row * kCellHigh + y) = cell[static_cast<std::size_t>(y * kCellWide + x)];
        }
    }
    return shown;
}

// Everything the search keeps: the blurred error between the screen's
// samples and the picture, and which cells the passes changed.
class Refiner {
public:
    Refiner(TeletextScreen& screen, const LinearImage& picture)
        : screen_(screen),
          error_(oklabOf(blurred(areaAverage(picture, kGridWidth, kGridHeight)), toOklab), blurred(shownSamples(screen)))
    {
    }

    // Tries other bytes in cell (column, row), control codes as well as
    // mosaics when `codes`; true if one was kept. Every cell is tried in the
    // first pass; later, only those near a cell the pass before changed, as
    // the others would find the same again.
    bool tryCell(int column, int row, bool codes);
    // Ends a pass: what it changed is what the next pass looks near.
    void endPass();

private:
    // Whether the last pass changed a cell whose change reaches cell (column, row).
    bool nearChange(int column, int row) const;
    bool tryBytes(int column, int row, bool codes);
    // The change of the summed distance if cell (column,row) changed by `delta`.
    float gain(int column, int row, const SpanSamples& delta) const;
    void apply(int column, int row, const SpanSamples& delta);

    TeletextScreen& screen_;
    BlurredError<> error_;  // over the grid
    std::vector<bool> changed_ = std::vector<bool>(kTeletextBytes, true);    // by the last pass
    std::vector<bool> changing_ = std::vector<bool>(kTeletextBytes, false);  // by this one
};

constexpr int kWindowWide = kSpanWide + 2 * kRadiusX;
constexpr int kWindowHigh = kCellHigh + 2 * kRadiusY;
using WindowSamples = std::array<LinearRgb, kWindowWide * kWindowHigh>;

// The blurred change over window `w` from a change `delta` over the cells
// whose top left sample is (left, top), the blur done across then down.
// Edges are clamped as in blurred(). out[(gy - w.top) * kWindowWide + gx - w.left].
void blurredDelta(const SpanSamples& delta, int left, int top, const Window& w, WindowSamples& out)
{
    const KernelX& kernelAcross = kernelX();
    const KernelY& kernelDown = kernelY();
    std::array<LinearRgb, kWindowWide * kCellHigh> across;
    for (int y = w.firstRow; y <= w.lastRow; ++y)
        for (int gx = w.left; gx < w.right; ++gx) {
            LinearRgb sum;
            for (int i = -kRadiusX; i <= kRadiusX; ++i) {
                const int sx = std::clamp(gx + i, 0, kGridWidth - 1) - left;
                if (sx >= 0 && sx < kSpanWide)
                    sum = sum + kernelAcross[static_cast<std::size_t>(i + kRadiusX)] * delta[static_cast<std::size_t>(y * kSpanWide + sx)];
            }
            across[static_cast<std::size_t>(y * kWindowWide + gx - w.left)] = sum;
        }
    for (int gy = w.top; gy < w.bottom; ++gy)
        for (int gx = w.left; gx < w.right; ++gx) {
            LinearRgb sum;
            for (int j = -kRadiusY; j <= kRadiusY; ++j) {
                const int sy = std::clamp(gy + j, 0, kGridHeight - 1) - top;
                if (sy >= w.firstRow && sy <= w.lastRow)
                    sum = sum + kernelDown[static_cast<std::size_t>(j + kRadiusY)] * across[static_cast<std::size_t>(sy * kWindowWide + gx - w.left)];
            }
            out[static_cast<std::size_t>((gy - w.top) * kWindowWide + gx - w.left)] = sum;
        }
}

float Refiner::gain(int column, int row, const SpanSamples& delta) const
{
    const int left = column * kCellWide, top = row * kCellHigh;
    float change = 0;
    const Window w = reach(delta, left, top);
    WindowSamples added;
    blurredDelta(delta, left, top, w, added);
    for (int gy = w.top; gy < w.bottom; ++gy)
        for (int gx = w.left; gx < w.right; ++gx) {
            change += error_.changeIf(error_.sample(gx, gy),
                                      added[static_cast<std::size_t>((gy - w.top) * kWindowWide + gx - w.left)]);
        }
    return change;
}

void Refiner::apply(int column, int row, const SpanSamples& delta)
{
    const int left = column * kCellWide, top = row * kCellHigh;
    const Window w = reach(delta, left, top);
    WindowSamples added;
    blurredDelta(delta, left, top, w, added);
    for (int gy = w.top; gy < w.bottom; ++gy)
        for (int gx = w.left; gx < w.right; ++gx)
            error_.add(error_.sample(gx, gy), added[static_cast<std::size_t>((gy - w.top) * kWindowWide + gx - w.left)]);
}

bool isMosaic(std::uint8_t byte)
{
    return (byte & 0x7F) >= 0x20 && ((byte & 0x7F) < 0x40 || (byte & 0x7F) >= 0x60);
}

// The bytes tried in a cell: every control code, and (past column 0) the
// mosaic the cell shows and those one sixel away from it.
std::vector<std::uint8_t> trials(int column, std::uint8_t original, const CellLook& look, bool codes)
{
    std::vector<std::uint8_t> bytes;
    if (codes || column == 0)
        for (const std::uint8_t code : rowControlCodes())
            if (code != original)
                bytes.push_back(code);
    if (column == 0)
        return bytes;
    if (!isMosaic(original))
        bytes.push_back(mosaicByte(look.sixels));
    for (int s = 0; s < 6; ++s)
        bytes.push_back(mosaicByte(static_cast<Sixels>(look.sixels ^ (1 << s))));
    return bytes;
}

// A row as the chip goes along it: the state before each cell and each cell's look.
struct RowTrace {
    std::array<ChipState, kTeletextColumns + 1> states;
    std::array<CellLook, kTeletextColumns> looks;
};

RowTrace traceRow(const TeletextScreen& screen, int row)
{
    RowTrace trace;
    ChipState state;
    for (int column = 0; column < kTeletextColumns; ++column) {
        trace.states[static_cast<std::size_t>(column)] = state;
        trace.looks[static_cast<std::size_t>(column)] = showCell(state, screen.at(column, row));
    }
    trace.states[kTeletextColumns] = state;
    return trace;
}

// The change of the shown samples over the cells from `column` if it held
// `byte`, or false if it reaches a cell kMaxSpan or more further on. Once the
// chip's state is back to the row's own, the rest of the row is unchanged.
bool spanChange(const TeletextScreen& screen, int row, const RowTrace& trace, int column, std::uint8_t byte,
                SpanSamples& delta)
{
    delta.fill(LinearRgb{});
    ChipState state = trace.states[static_cast<std::size_t>(column)];
    CellSamples was, now;
    for (int c = column; c < kTeletextColumns; ++c) {
        const auto at = static_cast<std::size_t>(c);
        if (c > column && state == trace.states[at])
            return true;
        if (c >= column + kMaxSpan)
            return false;
        const CellLook look = showCell(state, c == column ? byte : screen.at(c, row));
        if (look == trace.looks[at])
            continue;
        drawLook(trace.looks[at], was);
        drawLook(look, now);
        for (int y = 0; y < kCellHigh; ++y)
            for (int x = 0; x < kCellWide; ++x)
                delta[static_cast<std::size_t>(y * kSpanWide + (c - column) * kCellWide + x)] =
                    now[static_cast<std::size_t>(y * kCellWide + x)] - was[static_cast<std::size_t>(y * kCellWide + x)];
    }
    return true;
}

bool Refiner::tryBytes(int column, int row, bool codes)
{
    const std::uint8_t original = screen_.at(column, row);
    const RowTrace trace = traceRow(screen_, row);
    SpanSamples delta;
    float best = -1e-6f;
    std::uint8_t bestByte = original;
    for (const std::uint8_t byte : trials(column, original, trace.looks[static_cast<std::size_t>(column)], codes)) {
        if (byte == original || !spanChange(screen_, row, trace, column, byte, delta))
            continue;
        const float change = gain(column, row, delta);
        if (change < best) {
            best = change;
            bestByte = byte;
        }
    }
    if (bestByte != original) {
        spanChange(screen_, row, trace, column, bestByte, delta);
        screen_.at(column, row) = bestByte;
        apply(column, row, delta);
        return true;
    }
    return false;
}

bool Refiner::nearChange(int column, int row) const
{
    // A cell's blur reaches the rows above and below and the cells either
    // side, and a change tried there reaches kMaxSpan cells along the row.
    for (int r = std::max(0, row - 1); r <= std::min(kTeletextRows - 1, row + 1); ++r)
        for (int c = std::max(0, column - kMaxSpan); c <= std::min(kTeletextColumns - 1, column + kMaxSpan); ++c)
            if (changed_[static_cast<std::size_t>(r * kTeletextColumns + c)])
                return true;
    return false;
}

bool Refiner::tryCell(int column, int row, bool codes)
{
    if (!nearChange(column, row) || !tryBytes(column, row, codes))
        return false;
    changing_[static_cast<std::size_t>(row * kTeletextColumns + column)] = true;
    return true;
}

void Refiner::endPass()
{
    changed_.swap(changing_);
    std::fill(changing_.begin(), changing_.end(), false);
}

}  // namespace

void refineByBlur(TeletextScreen& screen, const LinearImage& picture, int sweeps)
{
    Refiner refiner(screen, picture);
    sweepUntilSettled(
        kTeletextColumns, kTeletextRows, sweeps,
        [&](int column, int row, int pass) { return refiner.tryCell(column, row, pass == 0); },
        [&](int, int row) {
            if (row == kTeletextRows - 1)
                refiner.endPass();
        });
}
