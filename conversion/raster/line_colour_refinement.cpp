#include "conversion/raster/line_colour_refinement.h"

#include "conversion/methods/binary_search.h"
#include "conversion/methods/error_diffusion.h"
#include "conversion/methods/method_run.h"
#include "conversion/methods/picture_score.h"
#include "conversion/methods/row_palettes.h"
#include "conversion/methods/score_refinement.h"
#include "conversion/nula/nula_palette.h"
#include "conversion/raster/line_colour_fit.h"
#include "conversion/raster/nula_lines.h"
#include "conversion/raster_budget.h"

#include <cassert>

namespace {

// Fits of the colours to quick Floyd-Steinberg pixels before the search
// starts: each brings the k-means colours closer to what dithering needs,
// for the cost of a diffusion.
constexpr int kQuickFits = 6;
// Rounds of fitting the colours and moving the pixels by direct binary
// search, which is quick and follows the colours a long way.
constexpr int kSearchRounds = 4;
constexpr int kSearchSweeps = 10;
// The polish against the score itself, after a last fit; it is most of
// the time.
constexpr int kPolishSweeps = 16;

RowPalettes rowPalettes(const std::vector<NulaTable>& colours, int count)
{
    std::vector<MethodPalette> rows;
    rows.reserve(colours.size());
    for (const NulaTable& line : colours)
        rows.push_back(nulaMethodPalette(line, count));
    return RowPalettes(rows);
}

// The grid and what the search needs to know of the mode.
struct SearchFrame {
    const LinearImage& grid;
    int count;       // logical colours
    int changeable;  // of them, a line
    int scaleX, scaleY;
};

// Every colour free to change a line: the k-means colours of nulaLineColours
// fitted a few times to Floyd-Steinberg's pixels, then searched.
NulaLinePicture freeStart(const Settings& settings, const ScreenMode& mode, const SearchFrame& f, std::stop_token stop)
{
    std::vector<NulaTable> colours = nulaLineColours(f.grid, mode, settings.method, settings.damping);
    for (int fit = 0; fit < kQuickFits; ++fit) {
        const IndexImage quick = diffuseError(f.grid, rowPalettes(colours, f.count), DiffusionKernel::FloydSteinberg);
        colours = fittedLineColours(f.grid, quick, std::move(colours), f.count, f.changeable, f.scaleX, f.scaleY);
    }
    const RowPalettes palettes = rowPalettes(colours, f.count);
    IndexImage quick = diffuseError(f.grid, palettes, DiffusionKernel::FloydSteinberg);
    IndexImage pixels =
        directBinarySearch(f.grid, palettes, std::move(quick), f.scaleX, f.scaleY, {}, kSearchSweeps, stop);
    return NulaLinePicture{std::move(colours), std::move(pixels)};
}

// Some colours free to change a line: the one-palette screen, its colours
// on every line, so that the search starts no worse than it.
NulaLinePicture onePaletteStart(const Screen& onePalette, const SearchFrame& f)
{
    assert(onePalette.palette().nula.has_value());
    IndexImage pixels(f.grid.width, f.grid.height);
    pixels.pixels = onePalette.pixels;
    return NulaLinePicture{std::vector<NulaTable>(static_cast<std::size_t>(f.grid.height), *onePalette.palette().nula),
                           std::move(pixels)};
}

}  // namespace

NulaLinePicture searchedNulaLines(const Settings& settings, const ScreenMode& mode, const LinearImage& grid,
                                  const Screen* onePalette, const ProgressReport& progress, std::stop_token stop)
{
    const SearchFrame f{grid, nulaColourCount(mode), rasterBudget(mode).nulaColours, kDisplayWidth / grid.width,
                        kDisplayLines / grid.height};
    const ScoreReference reference(areaAverage(grid, kDisplayWidth, kDisplayLines));
    ScoreScratch scratch;
    const auto score = [&](const NulaLinePicture& p) {
        return reference.distance(p.pixels, rowPalettes(p.colours, f.count), f.scaleX, f.scaleY, scratch);
    };
    NulaLinePicture current =
        f.changeable >= f.count ? freeStart(settings, mode, f, stop) : onePaletteStart(*onePalette, f);
    NulaLinePicture best = current;
    double bestScore = score(best);
    const auto keepIfBetter = [&] {
        if (const double s = score(current); s < bestScore) {
            bestScore = s;
            best = current;
        }
    };
    const auto fitColours = [&] {
        current.colours = fittedLineColours(grid, current.pixels, std::move(current.colours), f.count, f.changeable,
                                            f.scaleX, f.scaleY);
    };
    for (int round = 0; round < kSearchRounds && !stop.stop_requested(); ++round) {
        fitColours();
        current.pixels = directBinarySearch(grid, rowPalettes(current.colours, f.count), std::move(current.pixels),
                                            f.scaleX, f.scaleY, {}, kSearchSweeps, stop);
        keepIfBetter();
        if (progress)
            progress(0.3 * (round + 1) / kSearchRounds);
    }
    if (!stop.stop_requested()) {
        fitColours();
        const ProgressReport polishing = [&progress](double fraction) {
            if (progress)
                progress(0.3 + 0.7 * fraction);
        };
        current.pixels = refineByScore(grid, rowPalettes(current.colours, f.count), std::move(current.pixels),
                                       f.scaleX, f.scaleY, polishing, kPolishSweeps, stop);
        keepIfBetter();
    }
    return best;
}

std::vector<NulaTable> fittedNulaLines(const Settings& settings, const ScreenMode& mode, const LinearImage& grid)
{
    const int count = nulaColourCount(mode), changeable = rasterBudget(mode).nulaColours;
    const int scaleX = kDisplayWidth / grid.width, scaleY = kDisplayLines / grid.height;
    const ScoreReference reference(areaAverage(grid, kDisplayWidth, kDisplayLines));
    ScoreScratch scratch;
    std::vector<NulaTable> colours = nulaLineColours(grid, mode, settings.method, settings.damping);
    // A quick method's pixels follow their colours, and a fit can take the
    // pair somewhere worse (two colours a line, mostly): the colours whose
    // pixels score best are kept, the unfitted ones among them.
    std::vector<NulaTable> best = colours;
    double bestScore = 0;
    for (int fit = 0; fit <= kQuickFits; ++fit) {
        const RowPalettes palettes = rowPalettes(colours, count);
        const IndexImage quick = quickPass(settings.method, grid, palettes, settings.damping);
        if (const double s = reference.distance(quick, palettes, scaleX, scaleY, scratch); fit == 0 || s < bestScore) {
            bestScore = s;
            best = colours;
        }
        if (fit < kQuickFits)
            colours = fittedLineColours(grid, quick, std::move(colours), count, changeable, scaleX, scaleY);
    }
    return best;
}
