#include "conversion/teletext/blur_refinement.h"

#include "conversion/colour_space.h"
#include "conversion/teletext/teletext_chip.h"
#include "conversion/teletext/teletext_glyphs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// The grid: each sample 4 display pixels wide and 2 lines high, so a cell is 4 × 10.
constexpr int kCellWide = kCellPixels / 4;
constexpr int kCellHigh = kCellLines / 2;
constexpr int kGridWidth = kTeletextColumns * kCellWide;
constexpr int kGridHeight = kTeletextRows * kCellHigh;
// A Gaussian of sigma 2 display pixels: 0.5 samples across, 1 sample down.
constexpr int kRadiusX = 1;
constexpr int kRadiusY = 3;

using KernelX = std::array<float, 2 * kRadiusX + 1>;
using KernelY = std::array<float, 2 * kRadiusY + 1>;

template <std::size_t N>
std::array<float, N> gaussian(float sigma)
{
    std::array<float, N> k{};
    const int radius = static_cast<int>(N / 2);
    float sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += k[static_cast<std::size_t>(i + radius)] = std::exp(-0.5f * i * i / (sigma * sigma));
    for (float& w : k)
        w /= sum;
    return k;
}

const KernelX& kernelX()
{
    static const KernelX k = gaussian<2 * kRadiusX + 1>(0.5f);
    return k;
}

const KernelY& kernelY()
{
    static const KernelY k = gaussian<2 * kRadiusY + 1>(1.0f);
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

LinearRgb operator*(float w, const LinearRgb& c) { return LinearRgb{w * c.r, w * c.g, w * c.b}; }
LinearRgb operator+(const LinearRgb& a, const LinearRgb& b) { return LinearRgb{a.r + b.r, a.g + b.g, a.b + b.b}; }
LinearRgb operator-(const LinearRgb& a, const LinearRgb& b) { return LinearRgb{a.r - b.r, a.g - b.g, a.b - b.b}; }

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
    LinearImage across(image.width, image.height), down(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            LinearRgb sum;
            for (int i = -kRadiusX; i <= kRadiusX; ++i)
                sum = sum + kernelX()[static_cast<std::size_t>(i + kRadiusX)] *
                                image.at(std::clamp(x + i, 0, image.width - 1), y);
            across.at(x, y) = sum;
        }
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            LinearRgb sum;
            for (int i = -kRadiusY; i <= kRadiusY; ++i)
                sum = sum + kernelY()[static_cast<std::size_t>(i + kRadiusY)] *
                                across.at(x, std::clamp(y + i, 0, image.height - 1));
            down.at(x, y) = sum;
        }
    return down;
}

// The grid samples a change inside a cell reaches after the blur: the box
// around the changed samples, widened by the kernel's radius.
struct Window {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

Window reach(const CellSamples& delta, int left, int top)
{
    int x0 = kCellWide, y0 = kCellHigh, x1 = -1, y1 = -1;
    for (int y = 0; y < kCellHigh; ++y)
        for (int x = 0; x < kCellWide; ++x) {
            const LinearRgb& d = delta[static_cast<std::size_t>(y * kCellWide + x)];
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
                  std::min(kGridWidth, left + x1 + 1 + kRadiusX), std::min(kGridHeight, top + y1 + 1 + kRadiusY)};
}

// Everything the search keeps: the picture blurred in OKLab, the screen's
// samples and their blur, and each sample's current distance.
class Refiner {
public:
    Refiner(TeletextScreen& screen, const LinearImage& picture);
    void sweep();

private:
    void tryCell(int column, int row);
    // The change of the summed distance if cell (column,row) changed by `delta`.
    float gain(int column, int row, const CellSamples& delta) const;
    void apply(int column, int row, const CellSamples& delta);

    TeletextScreen& screen_;
    std::vector<Oklab> target_;
    LinearImage shown_;
    LinearImage blur_;
    std::vector<float> distance_;
};

Refiner::Refiner(TeletextScreen& screen, const LinearImage& picture)
    : screen_(screen), shown_(kGridWidth, kGridHeight), distance_(kGridWidth * kGridHeight)
{
    const LinearImage target = blurred(areaAverage(picture, kGridWidth, kGridHeight));
    for (const LinearRgb& p : target.pixels)
        target_.push_back(toOklab(p));
    CellSamples cell;
    for (int row = 0; row < kTeletextRows; ++row) {
        ChipState state;
        for (int column = 0; column < kTeletextColumns; ++column) {
            drawLook(showCell(state, screen.at(column, row)), cell);
            for (int y = 0; y < kCellHigh; ++y)
                for (int x = 0; x < kCellWide; ++x)
                    shown_.at(column * kCellWide + x, row * kCellHigh + y) = cell[static_cast<std::size_t>(y * kCellWide + x)];
        }
    }
    blur_ = blurred(shown_);
    for (std::size_t i = 0; i < distance_.size(); ++i)
        distance_[i] = std::sqrt(oklabDistance2(toOklab(blur_.pixels[i]), target_[i]));
}

// The blurred change at grid sample (gx, gy) from a change `delta` inside the
// cell whose top left sample is (left, top). Edges are clamped as in blurred().
LinearRgb blurredDelta(const CellSamples& delta, int left, int top, int gx, int gy)
{
    LinearRgb sum;
    for (int j = -kRadiusY; j <= kRadiusY; ++j) {
        const int sy = std::clamp(gy + j, 0, kGridHeight - 1) - top;
        if (sy < 0 || sy >= kCellHigh)
            continue;
        for (int i = -kRadiusX; i <= kRadiusX; ++i) {
            const int sx = std::clamp(gx + i, 0, kGridWidth - 1) - left;
            if (sx < 0 || sx >= kCellWide)
                continue;
            const float w = kernelX()[static_cast<std::size_t>(i + kRadiusX)] * kernelY()[static_cast<std::size_t>(j + kRadiusY)];
            sum = sum + w * delta[static_cast<std::size_t>(sy * kCellWide + sx)];
        }
    }
    return sum;
}

float Refiner::gain(int column, int row, const CellSamples& delta) const
{
    const int left = column * kCellWide, top = row * kCellHigh;
    float change = 0;
    const Window w = reach(delta, left, top);
    for (int gy = w.top; gy < w.bottom; ++gy)
        for (int gx = w.left; gx < w.right; ++gx) {
            const auto i = static_cast<std::size_t>(gy * kGridWidth + gx);
            const LinearRgb now = blur_.pixels[i] + blurredDelta(delta, left, top, gx, gy);
            change += std::sqrt(oklabDistance2(toOklab(now), target_[i])) - distance_[i];
        }
    return change;
}

void Refiner::apply(int column, int row, const CellSamples& delta)
{
    const int left = column * kCellWide, top = row * kCellHigh;
    for (int y = 0; y < kCellHigh; ++y)
        for (int x = 0; x < kCellWide; ++x)
            shown_.at(left + x, top + y) = shown_.at(left + x, top + y) + delta[static_cast<std::size_t>(y * kCellWide + x)];
    const Window w = reach(delta, left, top);
    std::vector<LinearRgb> added;
    for (int gy = w.top; gy < w.bottom; ++gy)
        for (int gx = w.left; gx < w.right; ++gx)
            added.push_back(blurredDelta(delta, left, top, gx, gy));
    std::size_t k = 0;
    for (int gy = w.top; gy < w.bottom; ++gy)
        for (int gx = w.left; gx < w.right; ++gx) {
            const auto i = static_cast<std::size_t>(gy * kGridWidth + gx);
            blur_.pixels[i] = blur_.pixels[i] + added[k++];
            distance_[i] = std::sqrt(oklabDistance2(toOklab(blur_.pixels[i]), target_[i]));
        }
}

// The looks of a row's cells.
std::array<CellLook, kTeletextColumns> rowLooks(const TeletextScreen& screen, int row)
{
    std::array<CellLook, kTeletextColumns> looks;
    ChipState state;
    for (int column = 0; column < kTeletextColumns; ++column)
        looks[static_cast<std::size_t>(column)] = showCell(state, screen.at(column, row));
    return looks;
}

bool isMosaic(std::uint8_t byte)
{
    return (byte & 0x7F) >= 0x20 && ((byte & 0x7F) < 0x40 || (byte & 0x7F) >= 0x60);
}

void Refiner::tryCell(int column, int row)
{
    const std::uint8_t original = screen_.at(column, row);
    if (column == 0 || !isMosaic(original))
        return;
    const auto before = rowLooks(screen_, row);
    const CellLook old = before[static_cast<std::size_t>(column)];
    CellSamples oldCell, cell, delta, bestDelta;
    drawLook(old, oldCell);
    float best = -1e-6f;
    std::uint8_t bestByte = original;
    for (int s = 0; s < 6; ++s) {
        const std::uint8_t byte = mosaicByte(static_cast<Sixels>(old.sixels ^ (1 << s)));
        screen_.at(column, row) = byte;
        const auto after = rowLooks(screen_, row);
        screen_.at(column, row) = original;
        bool othersKept = true;
        for (int c = 0; c < kTeletextColumns; ++c)
            if (c != column && after[static_cast<std::size_t>(c)] != before[static_cast<std::size_t>(c)])
                othersKept = false;
        if (!othersKept)
            continue;
        drawLook(after[static_cast<std::size_t>(column)], cell);
        for (std::size_t i = 0; i < cell.size(); ++i)
            delta[i] = cell[i] - oldCell[i];
        const float change = gain(column, row, delta);
        if (change < best) {
            best = change;
            bestByte = byte;
            bestDelta = delta;
        }
    }
    if (bestByte != original) {
        screen_.at(column, row) = bestByte;
        apply(column, row, bestDelta);
    }
}

void Refiner::sweep()
{
    for (int row = 0; row < kTeletextRows; ++row)
        for (int column = 0; column < kTeletextColumns; ++column)
            tryCell(column, row);
}

}  // namespace

void refineByBlur(TeletextScreen& screen, const LinearImage& picture, int sweeps)
{
    Refiner refiner(screen, picture);
    for (int i = 0; i < sweeps; ++i)
        refiner.sweep();
}
