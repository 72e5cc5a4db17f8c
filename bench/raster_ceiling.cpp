// How much standard colours changed line by line could gain at best, on the
// pictures named on the command line, in modes 0, 1, 4 and 5: the screen is
// cut into bands of lines, and each band's set of physical colours is
// chosen freely among every candidate set by what the picture score says of
// the real Floyd-Steinberg result (coordinate descent over the bands, a
// sweep down the picture at a time), once ignoring the raster budget
// between bands and once keeping to it (neighbouring bands differ by at
// most the budget's colours). Each band's candidates are weighed on the
// band and the lines below it as dithered within the whole picture; the chosen
// bands are then dithered whole by Floyd-Steinberg and by dbs and scored
// against the one-palette screens (--palette best) the engine makes, and
// the engine's own colours by line (before and after it falls back to one
// palette) beside them.
// Prints Markdown tables of the median ratios (lower is better; 1 = no gain).
// Usage: raster_ceiling PICTURE...   (CEILING_BANDS=8,16,32 the band
// heights; CEILING_SWEEPS=2; CEILING_MODES=0145; CEILING_DBS=0 skips dbs;
// CEILING_SHORTLIST=K weighs only the K sets a band LineCost rates best;
// CEILING_VARIANTS="budget;budget from per-line;" only those searches;
// CEILING_ABOVE, CEILING_BELOW lines of context around a band)
#include "quality_runs.h"

#include "conversion/entry/picture_conversion.h"
#include "conversion/methods/error_diffusion.h"
#include "conversion/methods/method_run.h"
#include "conversion/methods/palette_search.h"
#include "conversion/methods/picture_score.h"
#include "conversion/raster/line_cost.h"
#include "conversion/raster/standard_lines.h"
#include "conversion/raster_budget.h"
#include "conversion/screen_modes.h"

#include <QGuiApplication>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Lines dithered above a band before it, so that the error it receives is
// the whole picture's, and below it, where its error still shows: all of
// them, as error diffusion in colours that cannot show a picture's colours
// carries its error far down it, and a few lines of context misjudge sets
// by several per cent. (CEILING_ABOVE and CEILING_BELOW set fewer, to see
// how far a quicker search may go.)
constexpr int kContextAbove = kScreenLines;
constexpr int kContextBelow = kScreenLines;

struct Candidates {
    std::vector<MethodPalette> sets;
    std::vector<unsigned> masks;  // the physical colours of each set, as bits
};

Candidates candidatesOf(const ScreenMode& mode)
{
    Candidates c{candidatePalettes(mode), {}};
    for (const MethodPalette& set : c.sets) {
        unsigned mask = 0;
        for (int i = 0; i < set.count; ++i)
            mask |= 1u << set.physical[static_cast<std::size_t>(i)];
        c.masks.push_back(mask);
    }
    return c;
}

// One picture in one mode, with what every score needs.
struct Subject {
    const ScreenMode* mode;
    Settings settings;
    LinearImage grid;     // the picture framed on the mode's grid
    LinearImage display;  // the grid in display space, as the engine weighs it
    int scaleX, scaleY;
};

Subject subjectOf(const QualityPicture& picture, int modeNumber)
{
    Subject s;
    s.mode = findScreenMode(modeNumber);
    s.settings.mode = modeNumber;
    s.settings.palette.kind = PaletteChoice::Kind::Best;
    s.grid = preparedSource(s.settings, picture.source, s.mode->screenPixelsPerLine());
    s.display = areaAverage(s.grid, kDisplayWidth, kDisplayLines);
    s.scaleX = kDisplayWidth / s.grid.width;
    s.scaleY = kDisplayLines / kScreenLines;
    return s;
}

// Rows `from` to `to` of a picture.
LinearImage rowsOf(const LinearImage& image, int from, int to)
{
    LinearImage part(image.width, to - from);
    std::copy(image.pixels.begin() + static_cast<std::ptrdiff_t>(from) * image.width,
              image.pixels.begin() + static_cast<std::ptrdiff_t>(to) * image.width, part.pixels.begin());
    return part;
}

// The whole picture dithered in `lines` by `method`, scored against `reference`.
double wholeScore(const Subject& s, Method method, const std::vector<MethodPalette>& lines,
                  const ScoreReference& reference)
{
    const RowPalettes rows(lines);
    const IndexImage dithered = runMethod(method, s.grid, rows, s.settings.damping, s.scaleX, s.scaleY);
    return reference.distance(expandToDisplay(dithered, rows, s.scaleX, s.scaleY));
}

// The set that serves the whole picture best under Floyd-Steinberg.
int bestSingleSet(const Subject& s, const Candidates& c, const ScoreReference& reference)
{
    int best = 0;
    double bestScore = 1e30;
    for (std::size_t i = 0; i < c.sets.size(); ++i) {
        const double score = wholeScore(s, Method::FloydSteinberg,
                                        std::vector<MethodPalette>(kScreenLines, c.sets[i]), reference);
        if (score < bestScore) {
            bestScore = score;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// Whether set `s` may follow or precede set `other` within `changes` colours.
bool withinBudget(const Candidates& c, int s, int other, int changes)
{
    return std::popcount(c.masks[static_cast<std::size_t>(s)] & ~c.masks[static_cast<std::size_t>(other)]) <= changes;
}

std::vector<MethodPalette> palettesOf(const Candidates& c, const std::vector<int>& lines)
{
    std::vector<MethodPalette> palettes;
    for (const int set : lines)
        palettes.push_back(c.sets[static_cast<std::size_t>(set)]);
    return palettes;
}

// The sets of a band ordered by how well each shows its lines dithered
// alone (LineCost), best first: the cheap guess the engine weighs sets by.
std::vector<int> byLineCost(const LineCost& lineCost, const Candidates& c, int from, int to)
{
    std::vector<std::pair<double, int>> costs;
    for (int set = 0; set < static_cast<int>(c.sets.size()); ++set) {
        double total = 0;
        for (int y = from; y < to; ++y)
            total += lineCost.cost(y, c.sets[static_cast<std::size_t>(set)]);
        costs.emplace_back(total, set);
    }
    std::sort(costs.begin(), costs.end());
    std::vector<int> order;
    for (const auto& [cost, set] : costs)
        order.push_back(set);
    return order;
}

// Coordinate descent over the bands, from one set a line (`lines`): each
// band in turn becomes the one set whose Floyd-Steinberg result scores best
// on the band and its context, or stays as it is, the rest of the picture as
// it stands. `changes` < 0 lets a band differ freely from the lines beside
// it; `shortlist` > 0 weighs only that many sets a band, the best by LineCost.
std::vector<int> descend(const Subject& s, const Candidates& c, int bandLines, std::vector<int> lines, int changes,
                         int sweeps, int shortlist)
{
    const LineCost lineCost(s.grid);
    ScoreScratch scratch;
    const int contextAbove = std::getenv("CEILING_ABOVE") ? std::atoi(std::getenv("CEILING_ABOVE")) : kContextAbove;
    const int contextBelow = std::getenv("CEILING_BELOW") ? std::atoi(std::getenv("CEILING_BELOW")) : kContextBelow;
    const auto paletteOf = [&](int set) -> const MethodPalette& { return c.sets[static_cast<std::size_t>(set)]; };
    for (int sweep = 0; sweep < sweeps; ++sweep) {
        bool moved = false;
        for (int top = 0; top < kScreenLines; top += bandLines) {
            const int bottom = top + bandLines;
            const int from = std::max(0, top - contextAbove), to = std::min(kScreenLines, bottom + contextBelow);
            const LinearImage part = rowsOf(s.grid, from, to);
            const ScoreReference reference(rowsOf(s.display, from * s.scaleY, to * s.scaleY));
            std::vector<MethodPalette> window;
            for (int y = from; y < to; ++y)
                window.push_back(paletteOf(lines[static_cast<std::size_t>(y)]));
            const auto scoreOf = [&](const std::vector<MethodPalette>& palettes) {
                const RowPalettes rows(palettes);
                return reference.distance(diffuseError(part, rows, DiffusionKernel::FloydSteinberg), rows, s.scaleX,
                                          s.scaleY, scratch);
            };
            double bestScore = scoreOf(window);
            int best = -1;
            std::vector<int> order = byLineCost(lineCost, c, top, bottom);
            if (shortlist > 0 && static_cast<int>(order.size()) > shortlist)
                order.resize(static_cast<std::size_t>(shortlist));
            for (const int set : order) {
                if (changes >= 0 &&
                    ((top > 0 && !withinBudget(c, set, lines[static_cast<std::size_t>(top - 1)], changes)) ||
                     (bottom < kScreenLines && !withinBudget(c, set, lines[static_cast<std::size_t>(bottom)], changes))))
                    continue;
                for (int y = top; y < bottom; ++y)
                    window[static_cast<std::size_t>(y - from)] = paletteOf(set);
                if (const double score = scoreOf(window); score < bestScore - 1e-9) {
                    bestScore = score;
                    best = set;
                }
            }
            if (best >= 0) {
                moved = true;
                std::fill(lines.begin() + top, lines.begin() + bottom, best);
            }
        }
        if (!moved)
            break;
    }
    return lines;
}


// Ratios by label, then mode, one a picture.
using Ratios = std::map<std::string, std::map<int, std::vector<double>>>;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<int> listFrom(const char* text, std::vector<int> fallback)
{
    if (text == nullptr)
        return fallback;
    std::vector<int> values;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        values.push_back(std::stoi(item));
    return values;
}

struct Options {
    std::vector<int> bandHeights;
    std::vector<int> modes;
    int sweeps;
    bool dbs;
    int shortlist;         // sets weighed a band, 0 for all
    std::string variants;  // "free;budget;" ..., empty for all
};

Options optionsFromEnvironment()
{
    Options o{listFrom(std::getenv("CEILING_BANDS"), {8, 16, 32}), {0, 1, 4, 5}, 2, true, 0, ""};
    if (const char* modes = std::getenv("CEILING_MODES")) {
        o.modes.clear();
        for (const char* m = modes; *m; ++m)
            o.modes.push_back(*m - '0');
    }
    if (const char* sweeps = std::getenv("CEILING_SWEEPS"))
        o.sweeps = std::atoi(sweeps);
    if (const char* shortlist = std::getenv("CEILING_SHORTLIST"))
        o.shortlist = std::atoi(shortlist);
    if (const char* variants = std::getenv("CEILING_VARIANTS"))
        o.variants = variants;
    if (const char* dbs = std::getenv("CEILING_DBS"))
        o.dbs = std::string(dbs) != "0";
    return o;
}

void recordBoth(Ratios& ratios, const std::string& label, int mode, const Subject& s,
                const std::vector<MethodPalette>& lines, const ScoreReference& reference, double fsOne, double dbsOne,
                const Options& options, const QualityPicture& picture)
{
    const double fs = wholeScore(s, Method::FloydSteinberg, lines, reference);
    ratios[label + ", fs"][mode].push_back(fs / fsOne);
    double dbs = 0;
    if (options.dbs) {
        dbs = wholeScore(s, Method::Dbs, lines, reference);
        ratios[label + ", dbs"][mode].push_back(dbs / dbsOne);
    }
    std::fprintf(stderr, "%s mode %d %s: fs %.3f (%.3f), dbs %.3f (%.3f)\n", picture.name.toLocal8Bit().constData(),
                 mode, label.c_str(), fs, fs / fsOne, dbs, options.dbs ? dbs / dbsOne : 0.0);
}

void measure(const QualityPicture& picture, int modeNumber, const Options& options, Ratios& ratios)
{
    const Subject s = subjectOf(picture, modeNumber);
    const Candidates c = candidatesOf(*s.mode);
    const ScoreReference reference(picture.display);

    Settings one = s.settings;
    one.method = Method::FloydSteinberg;
    const double fsOne = reference.distance(displayOf(convertForQuality(picture, one).image));
    one.method = Method::Dbs;
    const double dbsOne = options.dbs ? reference.distance(displayOf(convertForQuality(picture, one).image)) : 1.0;
    Settings raster = one;
    raster.raster = true;
    if (options.dbs)
        ratios["engine as shipped (kept or fell back), dbs"][modeNumber].push_back(
            reference.distance(displayOf(convertForQuality(picture, raster).image)) / dbsOne);

    std::vector<int> viterbi;
    for (const auto& physical : standardLinePalettes(s.grid, *s.mode, std::nullopt)) {
        unsigned mask = 0;
        for (int i = 0; i < s.mode->numcols; ++i)
            mask |= 1u << physical[static_cast<std::size_t>(i)];
        viterbi.push_back(static_cast<int>(std::find(c.masks.begin(), c.masks.end(), mask) - c.masks.begin()));
    }
    recordBoth(ratios, "engine per-line search, before falling back", modeNumber, s, palettesOf(c, viterbi), reference,
               fsOne, dbsOne, options, picture);

    const std::vector<int> single(kScreenLines, bestSingleSet(s, c, reference));
    const int budget = rasterBudget(*s.mode).standardColours;
    struct Variant {
        std::string name;
        const std::vector<int>* start;
        int changes;
    };
    const Variant variants[] = {{"free", &single, -1}, {"budget", &single, budget}, {"budget from per-line", &viterbi, budget}};
    for (const int bandLines : options.bandHeights)
        for (const Variant& variant : variants) {
            if (!options.variants.empty() && options.variants.find(variant.name + ";") == std::string::npos)
                continue;
            const auto began = std::chrono::steady_clock::now();
            const std::vector<int> lines =
                descend(s, c, bandLines, *variant.start, variant.changes, options.sweeps, options.shortlist);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - began;
            const std::string label = "bands of " + std::to_string(bandLines) + ", " + variant.name;
            std::fprintf(stderr, "  search %s took %.1f s\n", label.c_str(), took.count());
            recordBoth(ratios, label, modeNumber, s, palettesOf(c, lines), reference, fsOne, dbsOne, options, picture);
        }
}

void printTable(const Ratios& ratios, const Options& options)
{
    std::printf("\nMedian ratio of the score against one palette (--palette best, same method), sigma 2\n\n| run |");
    for (const int mode : options.modes)
        std::printf(" mode %d |", mode);
    std::printf("\n|---|");
    for (std::size_t i = 0; i < options.modes.size(); ++i)
        std::printf("---:|");
    std::printf("\n");
    for (const auto& [label, byMode] : ratios) {
        std::printf("| %s |", label.c_str());
        for (const int mode : options.modes) {
            const auto found = byMode.find(mode);
            if (found == byMode.end())
                std::printf(" |");
            else
                std::printf(" %.3f |", median(found->second));
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const Options options = optionsFromEnvironment();
    Ratios ratios;
    for (int i = 1; i < argc; ++i) {
        const QualityPicture picture = loadQualityPicture(QString::fromLocal8Bit(argv[i]));
        for (const int mode : options.modes)
            measure(picture, mode, options, ratios);
    }
    std::printf("%d pictures; band sets chosen by Floyd-Steinberg, %d sweeps at most.\n", argc - 1, options.sweeps);
    printTable(ratios, options);
    return 0;
}
