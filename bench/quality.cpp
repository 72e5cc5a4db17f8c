// Scores every method of every mode on the pictures named on the command
// line: the mean OKLab distance between the blurred source and the blurred
// result in the 640 x 512 display space (x 100; lower is closer), at the
// eye's blur of sigma 2 display pixels and also 1 and 4, with the SSIM of
// the blurred lightness beside it. Mode 7 is scored on its own 640 x 500
// area, Rasterine's converter ("teletext") beside the plain yardstick.
// Prints Markdown tables of the medians and mode 7's comparison.
// Usage: quality PICTURE...   (QUALITY_ONLY=LABEL scores only the runs whose
// label holds LABEL, e.g. "teletext"; QUALITY_MODES=125 only those modes;
// QUALITY_EACH=1 also each picture's score, and where in its lightness the
// distance lies, on stderr)
#include "quality_runs.h"
#include "quality_teletext.h"

#include "conversion/methods/error_diffusion.h"
#include "conversion/fast_oklab.h"
#include "conversion/perceptual/gaussian_blur.h"
#include "conversion/methods/palette_search.h"
#include "conversion/entry/picture_conversion.h"
#include "conversion/nula/nula_palette.h"

#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kBitmapModes[] = {0, 1, 2, 4, 5};
constexpr int kModes[] = {0, 1, 2, 4, 5, 7};
constexpr float kSigmas[] = {1.0f, 2.0f, 4.0f};
constexpr const char* kNulaYardstick = "reference: nula k-means start, floyd-steinberg";

// Every measure of one run on one picture.
struct Measures {
    double distance[3];
    double ssim;
    double seconds;
    double edgeFlips = 0;  // mode 7 only: leftEdgeFlips
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

using Table = std::map<std::string, std::map<int, std::vector<Measures>>>;

void record(Table& table, std::vector<std::string>& order, const std::string& label, int mode, const Measures& m)
{
    if (table.find(label) == table.end())
        order.push_back(label);
    table[label][mode].push_back(m);
}

// A colour as the mean of many palette colours, each chosen nearest to
// what the colour still lacks: near the closest mixture the palette can make.
LinearRgb mixedFrom(const MethodPalette& palette, const LinearRgb& colour)
{
    constexpr int kSteps = 64;
    LinearRgb sum{}, carried{};
    for (int i = 0; i < kSteps; ++i) {
        const LinearRgb want{colour.r + carried.r, colour.g + carried.g, colour.b + carried.b};
        int nearest = 0;
        float nearestDistance = 1e30f;
        for (int c = 0; c < palette.count; ++c) {
            const LinearRgb& p = palette.linear[static_cast<std::size_t>(c)];
            const float d = (want.r - p.r) * (want.r - p.r) + (want.g - p.g) * (want.g - p.g) + (want.b - p.b) * (want.b - p.b);
            if (d < nearestDistance) {
                nearestDistance = d;
                nearest = c;
            }
        }
        const LinearRgb& p = palette.linear[static_cast<std::size_t>(nearest)];
        carried = LinearRgb{want.r - p.r, want.g - p.g, want.b - p.b};
        sum = LinearRgb{sum.r + p.r, sum.g + p.g, sum.b + p.b};
    }
    return LinearRgb{sum.r / kSteps, sum.g / kSteps, sum.b / kSteps};
}

// Where the sigma 2 distance of one result lies, on stderr: for five bands
// of the blurred source's OKLab lightness, the share of the picture's area
// in the band and the mean distance there (x 100).
void printLightnessBands(const QualityPicture& picture, const std::string& label, int mode, const LinearImage& shown)
{
    const LinearImage source = gaussianBlur(picture.display, kScoreSigma), result = gaussianBlur(shown, kScoreSigma);
    constexpr int kBands = 5;
    double sum[kBands] = {}, count[kBands] = {};
    for (std::size_t i = 0; i < source.pixels.size(); ++i) {
        const Oklab want = toOklabFast(source.pixels[i]);
        const int band = std::clamp(static_cast<int>(want.L * kBands), 0, kBands - 1);
        sum[band] += std::sqrt(oklabDistance2(want, toOklabFast(result.pixels[i])));
        count[band] += 1;
    }
    std::fprintf(stderr, "%s mode %d %s by lightness:", picture.name.toLocal8Bit().constData(), mode, label.c_str());
    for (int band = 0; band < kBands; ++band)
        std::fprintf(stderr, " L %.1f-%.1f: area %.2f, mean %.1f;", band / double(kBands), (band + 1) / double(kBands),
                     count[band] / static_cast<double>(source.pixels.size()),
                     count[band] > 0 ? 100 * sum[band] / count[band] : 0.0);
    std::fprintf(stderr, "\n");
}

// Scores a picture as shown against every reference and records it.
void recordShown(const std::string& label, int mode, const LinearImage& shown,
                 const std::vector<ScoreReference>& references, Table& table, std::vector<std::string>& order)
{
    Measures m{{}, references[1].lightnessSsim(shown), 0};
    for (int s = 0; s < 3; ++s)
        m.distance[s] = references[static_cast<std::size_t>(s)].distance(shown);
    record(table, order, label, mode, m);
}

// The floors of a mode: its grid with every pixel's exact colour (no
// palette), and with the nearest mixture of the best palette's colours (no
// dither pattern to see).
void scoreGrid(const QualityPicture& picture, int mode, const std::vector<ScoreReference>& references, Table& table,
               std::vector<std::string>& order)
{
    Settings settings;
    settings.mode = mode;
    const ScreenMode& screenMode = *findScreenMode(mode);
    const int width = screenMode.screenPixelsPerLine();
    const LinearImage grid = preparedSource(settings, picture.source, width);
    const MethodPalette palette = bestPalette(grid, screenMode);
    LinearImage exact(kDisplayWidth, kDisplayLines), mixed(kDisplayWidth, kDisplayLines);
    for (int y = 0; y < exact.height; ++y)
        for (int x = 0; x < exact.width; ++x) {
            exact.at(x, y) = grid.at(x * width / kDisplayWidth, y * kScreenLines / kDisplayLines);
            mixed.at(x, y) = mixedFrom(palette, exact.at(x, y));
        }
    recordShown("grid, exact colours", mode, exact, references, table, order);
    recordShown("grid, mixed from the best palette", mode, mixed, references, table, order);
}

// The yardstick the goals were set against: linear-light Floyd-Steinberg
// with nearest colours in OKLab on the mode's grid, and the palette found by
// trying every candidate at full size and keeping the one this score (sigma 2)
// rates best, with no shortcut in the search.
void scoreReference(const QualityPicture& picture, int mode, const std::vector<ScoreReference>& references,
                    Table& table, std::vector<std::string>& order)
{
    Settings settings;
    settings.mode = mode;
    const ScreenMode& screenMode = *findScreenMode(mode);
    const int width = screenMode.screenPixelsPerLine();
    const LinearImage grid = preparedSource(settings, picture.source, width);
    LinearImage best;
    double bestScore = 0;
    for (const MethodPalette& palette : candidatePalettes(screenMode)) {
        const IndexImage dithered = diffuseError(grid, palette, DiffusionKernel::FloydSteinberg);
        LinearImage shown = expandToDisplay(dithered, palette, kDisplayWidth / width, kDisplayLines / kScreenLines);
        if (const double score = references[1].distance(shown); best.pixels.empty() || score < bestScore) {
            bestScore = score;
            best = std::move(shown);
        }
    }
    recordShown("reference: floyd-steinberg, every palette tried", mode, best, references, table, order);
}

// The VideoNuLA yardstick: the k-means start alone (each centre snapped to
// 4 bits a channel) and linear-light Floyd-Steinberg in its colours.
void scoreNulaYardstick(const QualityPicture& picture, int mode, const std::vector<ScoreReference>& references,
                        Table& table, std::vector<std::string>& order)
{
    Settings settings;
    settings.mode = mode;
    const ScreenMode& screenMode = *findScreenMode(mode);
    const int width = screenMode.screenPixelsPerLine();
    const LinearImage grid = preparedSource(settings, picture.source, width);
    const MethodPalette palette = nulaMethodPalette(startingNulaColours(grid, screenMode), nulaColourCount(screenMode));
    const IndexImage dithered = diffuseError(grid, palette, DiffusionKernel::FloydSteinberg);
    recordShown(kNulaYardstick, mode,
                expandToDisplay(dithered, palette, kDisplayWidth / width, kDisplayLines / kScreenLines), references,
                table, order);
}

void scoreTeletext(const QualityPicture& picture, Table& table, std::vector<std::string>& order)
{
    const std::vector<float> sigmas(std::begin(kSigmas), std::end(kSigmas));
    const std::pair<const char*, TeletextMeasures> runs[] = {
        {"teletext", measureTeletext(picture, sigmas)}, {"teletext plain", measurePlainTeletext(picture, sigmas)}};
    for (const auto& [label, t] : runs) {
        record(table, order, label, 7,
               Measures{{t.distance[0], t.distance[1], t.distance[2]}, t.ssim, t.seconds, double(t.edgeFlips)});
        if (std::getenv("QUALITY_EACH"))
            std::fprintf(stderr, "%s mode 7 %s: %.3f, %d flips down the left edge\n",
                         picture.name.toLocal8Bit().constData(), label, t.distance[1], t.edgeFlips);
    }
}

void scorePicture(const QualityPicture& picture, Table& table, std::vector<std::string>& order)
{
    std::vector<ScoreReference> references;
    for (float sigma : kSigmas)
        references.emplace_back(picture.display, sigma);
    const char* only = std::getenv("QUALITY_ONLY");  // e.g. "dbs" to score just those runs
    if (only == nullptr || std::string("teletext plain").find(only) != std::string::npos)
        scoreTeletext(picture, table, order);
    const char* modes = std::getenv("QUALITY_MODES");  // e.g. "125" to score just modes 1, 2 and 5
    for (int mode : kBitmapModes) {
        if (modes != nullptr && std::string(modes).find(char('0' + mode)) == std::string::npos)
            continue;
        scoreGrid(picture, mode, references, table, order);
        if (only == nullptr || std::string("reference").find(only) != std::string::npos)
            scoreReference(picture, mode, references, table, order);
        if (only == nullptr || std::string(kNulaYardstick).find(only) != std::string::npos)
            scoreNulaYardstick(picture, mode, references, table, order);
        for (const QualityRun& run : qualityRuns(mode)) {
            if (only != nullptr && run.label.find(only) == std::string::npos)
                continue;
            const Converted converted = convertForQuality(picture, run.settings);
            const LinearImage shown = displayOf(converted.image);
            Measures m{{}, references[1].lightnessSsim(shown), converted.seconds};
            for (int s = 0; s < 3; ++s)
                m.distance[s] = references[static_cast<std::size_t>(s)].distance(shown);
            record(table, order, run.label, mode, m);
            if (std::getenv("QUALITY_EACH")) {  // each picture's sigma 2 score, time and lightness bands
                std::fprintf(stderr, "%s mode %d %s: %.3f in %.0f ms\n", picture.name.toLocal8Bit().constData(), mode,
                             run.label.c_str(), m.distance[1], 1000 * m.seconds);
                printLightnessBands(picture, run.label, mode, shown);
            }
        }
    }
    std::fprintf(stderr, "scored %s\n", picture.name.toLocal8Bit().constData());
}

double medianOf(const std::vector<Measures>& runs, double Measures::*field)
{
    std::vector<double> values;
    for (const Measures& m : runs)
        values.push_back(m.*field);
    return median(values);
}

double medianDistance(const std::vector<Measures>& runs, int sigma)
{
    std::vector<double> values;
    for (const Measures& m : runs)
        values.push_back(m.distance[sigma]);
    return median(values);
}

void printTable(const Table& table, const std::vector<std::string>& order, const char* title,
                const std::function<std::string(const std::vector<Measures>&)>& cell)
{
    std::printf("\n%s\n\n| method | mode 0 | mode 1 | mode 2 | mode 4 | mode 5 | mode 7 |\n|---|---:|---:|---:|---:|---:|---:|\n", title);
    for (const std::string& label : order) {
        std::printf("| %s |", label.c_str());
        for (int mode : kModes) {
            const auto& byMode = table.at(label);
            if (byMode.empty())
                continue;
            const auto found = byMode.find(mode);
            std::printf(" %s |", found == byMode.end() ? "" : cell(found->second).c_str());
        }
        std::printf("\n");
    }
}

std::string format(const char* pattern, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Rows that are measures to compare with rather than ways of converting.
bool isYardstick(const std::string& label)
{
    return label.rfind("grid", 0) == 0 || label.rfind("reference", 0) == 0;
}

bool isNula(const std::string& label)
{
    return label.rfind("nula", 0) == 0;
}

// The lowest median sigma 2 score of any way of converting in `mode`, with
// its label: in the standard colours, or with `nula` in VideoNuLA colours.
std::pair<std::string, double> bestOf(const Table& table, const std::vector<std::string>& order, int mode,
                                      bool nula = false)
{
    std::pair<std::string, double> best{"", 0};
    for (const std::string& label : order) {
        if (isYardstick(label) || isNula(label) != nula)
            continue;
        const auto found = table.at(label).find(mode);
        if (found == table.at(label).end())
            continue;
        const double score = medianDistance(found->second, 1);
        if (best.first.empty() || score < best.second)
            best = {label, score};
    }
    return best;
}

// Mode 7 beside the best of modes 2 and 5, and against the plain yardstick.
void printTeletextComparison(const Table& table, const std::vector<std::string>& order)
{
    if (table.find("teletext") == table.end())
        return;
    const auto& ours = table.at("teletext").at(7);
    const auto& plain = table.at("teletext plain").at(7);
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours.size(); ++i)
        ratios.push_back(ours[i].distance[1] / plain[i].distance[1]);
    std::printf("\nMode 7, sigma 2 medians: teletext %.2f, plain yardstick %.2f; ratio of medians %.3f, "
                "median of the ratios %.3f\n",
                medianDistance(ours, 1), medianDistance(plain, 1), medianDistance(ours, 1) / medianDistance(plain, 1),
                median(ratios));
    std::printf("Mode 7, flips down the left edge (leftEdgeFlips), median: teletext %.1f, plain yardstick %.1f; "
                "sigma 2 medians to three places: teletext %.3f, plain yardstick %.3f\n",
                medianOf(ours, &Measures::edgeFlips), medianOf(plain, &Measures::edgeFlips), medianDistance(ours, 1),
                medianDistance(plain, 1));
    for (int mode : {2, 5})
        if (const auto [label, score] = bestOf(table, order, mode); !label.empty())
            std::printf("Best of mode %d: %s %.2f\n", mode, label.c_str(), score);
}

// Each mode's best way of converting against the reference: medians, and
// the median over pictures of the ratio (the same pictures, so the ratio
// does not depend on how hard they are).
void printReferenceComparison(const Table& table, const std::vector<std::string>& order)
{
    const auto reference = table.find("reference: floyd-steinberg, every palette tried");
    if (reference == table.end())
        return;
    std::printf("\nBest of each mode against the reference (sigma 2)\n\n"
                "| mode | best | score | reference | median ratio |\n|---|---|---:|---:|---:|\n");
    for (const auto& [mode, yardstick] : reference->second) {
        const auto [label, score] = bestOf(table, order, mode);
        if (label.empty())
            continue;
        const std::vector<Measures>& ours = table.at(label).at(mode);
        std::vector<double> ratios;
        for (std::size_t i = 0; i < ours.size() && i < yardstick.size(); ++i)
            ratios.push_back(ours[i].distance[1] / yardstick[i].distance[1]);
        std::printf("| %d | %s | %.2f | %.2f | %.3f |\n", mode, label.c_str(), score, medianDistance(yardstick, 1),
                    median(ratios));
    }
}

// Ratios over the same pictures of `ours` to `theirs` (sigma 2), their median.
double medianRatio(const std::vector<Measures>& ours, const std::vector<Measures>& theirs)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours.size() && i < theirs.size(); ++i)
        ratios.push_back(ours[i].distance[1] / theirs[i].distance[1]);
    return ratios.empty() ? 0 : median(ratios);
}

// Each mode's best in VideoNuLA colours against its best in the standard
// colours and against the k-means + Floyd-Steinberg yardstick.
void printNulaComparison(const Table& table, const std::vector<std::string>& order)
{
    const auto yardstick = table.find(kNulaYardstick);
    if (yardstick == table.end())
        return;
    std::printf("\nVideoNuLA colours, sigma 2: each mode's best against its best in the standard colours "
                "and against the yardstick\n\n| mode | best standard | score | best nula | score | ratio of "
                "medians | median ratio | yardstick | ratio to yardstick |\n|---|---|---:|---|---:|---:|---:|---:|---:|\n");
    for (const auto& [mode, theirs] : yardstick->second) {
        const auto [standard, standardScore] = bestOf(table, order, mode);
        const auto [nula, nulaScore] = bestOf(table, order, mode, true);
        if (nula.empty())
            continue;
        const std::vector<Measures>& ours = table.at(nula).at(mode);
        if (standard.empty())  // the standard runs were left out (QUALITY_ONLY)
            std::printf("| %d | | | %s | %.2f | | | %.2f | %.3f |\n", mode, nula.c_str(), nulaScore,
                        medianDistance(theirs, 1), medianRatio(ours, theirs));
        else
            std::printf("| %d | %s | %.2f | %s | %.2f | %.3f | %.3f | %.2f | %.3f |\n", mode, standard.c_str(),
                        standardScore, nula.c_str(), nulaScore, nulaScore / standardScore,
                        medianRatio(ours, table.at(standard).at(mode)), medianDistance(theirs, 1),
                        medianRatio(ours, theirs));
    }
}

// Colours by line against one palette, dbs both: medians, the median of
// the ratios over the same pictures and how many pictures came out worse.
void printRasterComparison(const Table& table)
{
    const std::pair<const char*, const char*> pairs[] = {{"nula raster dbs", "nula dbs"},
                                                         {"raster dbs +best", "dbs +best"},
                                                         {"nula raster floyd-steinberg", "nula floyd-steinberg"},
                                                         {"raster floyd-steinberg +best", "floyd-steinberg +best"}};
    bool headed = false;
    for (const auto& [raster, onePalette] : pairs) {
        const auto ours = table.find(raster), theirs = table.find(onePalette);
        if (ours == table.end() || theirs == table.end())
            continue;
        if (!headed)
            std::printf("\nColours by line against one palette, sigma 2\n\n| run | mode | by line | one palette | "
                        "ratio of medians | median ratio | pictures worse |\n|---|---:|---:|---:|---:|---:|---:|\n");
        headed = true;
        for (const auto& [mode, runs] : ours->second) {
            const auto other = theirs->second.find(mode);
            if (other == theirs->second.end())
                continue;
            int worse = 0;
            for (std::size_t i = 0; i < runs.size() && i < other->second.size(); ++i)
                worse += runs[i].distance[1] > other->second[i].distance[1] + 1e-9 ? 1 : 0;
            const double byLine = medianDistance(runs, 1), one = medianDistance(other->second, 1);
            std::printf("| %s | %d | %.2f | %.2f | %.3f | %.3f | %d of %zu |\n", raster, mode, byLine, one,
                        byLine / one, medianRatio(runs, other->second), worse, runs.size());
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    Table table;
    std::vector<std::string> order;
    int pictures = 0;
    for (int i = 1; i < argc; ++i, ++pictures)
        scorePicture(loadQualityPicture(QString::fromLocal8Bit(argv[i])), table, order);
    std::printf("%d pictures; medians over them.\n", pictures);
    printTable(table, order, "Score, sigma 2 (mean OKLab distance x 100; lower is closer)",
               [](const auto& runs) { return format("%.2f", medianDistance(runs, 1)); });
    printTable(table, order, "Score, sigma 1", [](const auto& runs) { return format("%.2f", medianDistance(runs, 0)); });
    printTable(table, order, "Score, sigma 4", [](const auto& runs) { return format("%.2f", medianDistance(runs, 2)); });
    printTable(table, order, "SSIM of the blurred lightness, sigma 2 (1 = identical)",
               [](const auto& runs) { return format("%.3f", medianOf(runs, &Measures::ssim)); });
    printTable(table, order, "Milliseconds per picture (whole conversion incl. framing and palette)",
               [](const auto& runs) { return format("%.1f", 1000 * medianOf(runs, &Measures::seconds)); });
    printTeletextComparison(table, order);
    printReferenceComparison(table, order);
    printNulaComparison(table, order);
    printRasterComparison(table);
    return 0;
}
