#include "conversion/nula/nula_palette.h"

#include "conversion/colour_space.h"
#include "conversion/methods/index_image.h"
#include "conversion/methods/method_run.h"
#include "conversion/methods/picture_score.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

// The colours are judged on a quarter of the grid each way, as the
// standard palettes are: a score costs a fraction of a millisecond.
constexpr int kReduction = 4;
constexpr int kKmeansRounds = 16;
// Rounds of channel steps, and the colour sets scored at most: about 0.8 ms
// each with error diffusion, so the search stays within about 120 ms on one
// core; the ordered methods' plans cost more a score, so they get fewer.
// Two- and four-colour modes mostly settle within it; mode 2's 16 colours
// get about two rounds.
constexpr int kRefinementRounds = 16;
constexpr int kMaxScores = 140;
constexpr int kMaxOrderedScores = 80;

int scoreBudget(Method method)
{
    return method == Method::Bayer || method == Method::BlueNoise ? kMaxOrderedScores : kMaxScores;
}

float cube(float v)
{
    return v * v * v;
}

// OKLab back to linear light (Ottosson's inverse).
LinearRgb fromOklab(const Oklab& c)
{
    const float l = cube(c.L + 0.3963377774f * c.a + 0.2158037573f * c.b);
    const float m = cube(c.L - 0.1055613458f * c.a - 0.0638541728f * c.b);
    const float s = cube(c.L - 0.0894841775f * c.a - 1.2914855480f * c.b);
    return LinearRgb{4.0767416621f * l - 3.3077115913f * m + 0.2309699292f * s,
                     -1.2684380046f * l + 2.6097574011f * m - 0.3413193965f * s,
                     -0.0041960863f * l - 0.7034186147f * m + 1.7076147010f * s};
}

std::uint8_t snapped(float linear)
{
    return static_cast<std::uint8_t>((linearToSrgb(std::clamp(linear, 0.0f, 1.0f)) + 8) / 17);
}

NulaColour snappedColour(const Oklab& lab)
{
    const LinearRgb linear = fromOklab(lab);
    return NulaColour{snapped(linear.r), snapped(linear.g), snapped(linear.b)};
}

std::vector<Oklab> samplesOf(const LinearImage& image)
{
    std::vector<Oklab> samples;
    samples.reserve(image.pixels.size());
    for (const LinearRgb& pixel : image.pixels)
        samples.push_back(toOklab(pixel));
    return samples;
}

std::size_t nearestCentre(const std::vector<Oklab>& centres, const Oklab& sample)
{
    std::size_t nearest = 0;
    float nearestDistance = oklabDistance2(centres[0], sample);
    for (std::size_t c = 1; c < centres.size(); ++c)
        if (const float d = oklabDistance2(centres[c], sample); d < nearestDistance) {
            nearestDistance = d;
            nearest = c;
        }
    return nearest;
}

// k-means++ seeding: each further centre drawn with a chance in proportion
// to its squared distance from the centres so far. std::mt19937's sequence
// is fixed by the standard, and the draw is made from its raw numbers.
std::vector<Oklab> seededCentres(const std::vector<Oklab>& samples, int count)
{
    std::mt19937 random(20131);
    std::vector<Oklab> centres{samples[random() % samples.size()]};
    std::vector<double> distance(samples.size());
    while (static_cast<int>(centres.size()) < count) {
        double total = 0;
        for (std::size_t i = 0; i < samples.size(); ++i)
            total += distance[i] = oklabDistance2(centres[nearestCentre(centres, samples[i])], samples[i]);
        double target = total * (static_cast<double>(random()) / 4294967296.0);
        std::size_t chosen = 0;
        while (chosen + 1 < samples.size() && target >= distance[chosen])
            target -= distance[chosen++];
        centres.push_back(samples[chosen]);
    }
    return centres;
}

Oklab labOf(const NulaColour& colour)
{
    return toOklab(nulaLinear(colour));
}

// Darkest first, so that logical colour 0, which MODE clears the screen
// to, is the darkest; ties broken by the colour's value, so the order is
// total.
void sortByLightness(NulaTable& table, int count)
{
    const auto key = [](const NulaColour& c) { return c.red * 256 + c.green * 16 + c.blue; };
    std::stable_sort(table.begin(), table.begin() + count, [&key](const NulaColour& x, const NulaColour& y) {
        const float lx = labOf(x).L, ly = labOf(y).L;
        return lx != ly ? lx < ly : key(x) < key(y);
    });
}

// The picture reduced, its blurred reference and the dithering the method
// will do, so that many sets of colours can be scored against it.
class NulaJudge {
public:
    NulaJudge(const LinearImage& grid, const ScreenMode& mode, Method method, float damping)
        : reduced_(areaAverage(grid, std::max(1, grid.width / kReduction), std::max(1, grid.height / kReduction))),
          scaleX_(kDisplayWidth / mode.screenPixelsPerLine()),
          reference_(areaAverage(reduced_, reduced_.width * scaleX_, reduced_.height * 2)), method_(method),
          damping_(method == Method::Dbs ? 1.0f : damping), count_(nulaColourCount(mode))
    {
    }

    double score(const NulaTable& colours)
    {
        const MethodPalette palette = nulaMethodPalette(colours, count_);
        return reference_.distance(dithered(palette), palette, scaleX_, 2, scratch_);
    }

private:
    IndexImage dithered(const MethodPalette& palette) const
    {
        return quickPass(method_, reduced_, palette, damping_);
    }

    LinearImage reduced_;
    int scaleX_;
    ScoreReference reference_;
    Method method_;
    float damping_;
    int count_;
    ScoreScratch scratch_;
};

// One channel of one entry moved by `step`, if it stays in 0..15.
bool stepChannel(NulaColour& colour, int channel, int step)
{
    std::uint8_t& value = channel == 0 ? colour.red : channel == 1 ? colour.green : colour.blue;
    const int moved = value + step;
    if (moved < 0 || moved > 15)
        return false;
    value = static_cast<std::uint8_t>(moved);
    return true;
}

// The refinement: rounds over every entry's channels, each moved one step
// up if that lowers the score, else one step down if that does, until a
// whole round changes nothing or the budget of colour sets has been scored
// (so the time is bounded, and the same every run). One step per channel a
// round keeps every entry moving before the budget is spent.
class Refinement {
public:
    Refinement(NulaJudge& judge, NulaTable& colours, int budget)
        : judge_(judge), colours_(colours), best_(judge.score(colours)), budget_(budget)
    {
    }

    void run(int count)
    {
        for (int round = 0; round < kRefinementRounds; ++round) {
            bool improved = false;
            for (int entry = 0; entry < count; ++entry)
                for (int channel = 0; channel < 3; ++channel)
                    improved = moveChannel(entry, channel) || improved;
            if (!improved)
                return;
        }
    }

private:
    bool moveChannel(int entry, int channel)
    {
        return tryStep(entry, channel, 1) || tryStep(entry, channel, -1);
    }

    bool tryStep(int entry, int channel, int step)
    {
        NulaTable tried = colours_;
        if (scores_ >= budget_ || !stepChannel(tried[static_cast<std::size_t>(entry)], channel, step))
            return false;
        ++scores_;
        const double score = judge_.score(tried);
        if (score >= best_)
            return false;
        best_ = score;
        colours_ = tried;
        return true;
    }

    NulaJudge& judge_;
    NulaTable& colours_;
    double best_;
    int budget_;
    int scores_ = 0;
};

}  // namespace

void moveCentres(const std::vector<Oklab>& samples, std::vector<Oklab>& centres)
{
    std::vector<double> sums(centres.size() * 4, 0.0);
    for (const Oklab& sample : samples) {
        double* sum = &sums[nearestCentre(centres, sample) * 4];
        sum[0] += sample.L;
        sum[1] += sample.a;
        sum[2] += sample.b;
        sum[3] += 1;
    }
    for (std::size_t c = 0; c < centres.size(); ++c)
        if (const double* sum = &sums[c * 4]; sum[3] > 0)
            centres[c] = Oklab{static_cast<float>(sum[0] / sum[3]), static_cast<float>(sum[1] / sum[3]),
                               static_cast<float>(sum[2] / sum[3])};
}

int nulaColourCount(const ScreenMode& mode)
{
    return 1 << mode.bitsPerPixel();
}

NulaTable startingNulaColours(const LinearImage& grid, const ScreenMode& mode)
{
    assert(grid.width > 0 && grid.height > 0);
    const int count = nulaColourCount(mode);
    const LinearImage reduced =
        areaAverage(grid, std::max(1, grid.width / kReduction), std::max(1, grid.height / kReduction));
    const std::vector<Oklab> samples = samplesOf(reduced);
    std::vector<Oklab> centres = seededCentres(samples, count);
    for (int round = 0; round < kKmeansRounds; ++round)
        moveCentres(samples, centres);
    NulaTable table{};
    for (int c = 0; c < count; ++c)
        table[static_cast<std::size_t>(c)] = snappedColour(centres[static_cast<std::size_t>(c)]);
    sortByLightness(table, count);
    return table;
}

NulaTable chooseNulaColours(const LinearImage& grid, const ScreenMode& mode, Method method, float damping)
{
    NulaTable colours = startingNulaColours(grid, mode);
    const int count = nulaColourCount(mode);
    NulaJudge judge(grid, mode, method, damping);
    Refinement(judge, colours, scoreBudget(method)).run(count);
    sortByLightness(colours, count);
    return colours;
}

NulaColour snappedNulaColour(const Oklab& lab)
{
    return snappedColour(lab);
}

void sortNulaByLightness(NulaTable& table, int count)
{
    sortByLightness(table, count);
}
