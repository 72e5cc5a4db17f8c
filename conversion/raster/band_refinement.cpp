#include "conversion/raster/band_refinement.h"

#include "conversion/methods/method_run.h"
#include "conversion/methods/picture_score.h"
#include "conversion/screen.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstddef>
#include <utility>

namespace {

// Bands of 16 lines: short enough to follow a picture's colours down it,
// long enough that a band's set is seen in two dimensions. The line
// estimate misjudges sets mostly in order, not in kind: its 8 best hold the
// set the real dithering prefers nearly always.
constexpr int kBandLines = 16;
constexpr int kShortlist = 8;
// Lines dithered above a band first, so that it receives error much as
// within the whole picture, and below it, where its own error still shows.
constexpr int kContextAbove = 8;
constexpr int kContextBelow = 16;

LinearImage rowsOf(const LinearImage& image, int from, int to)
{
    LinearImage part(image.width, to - from);
    std::copy(image.pixels.begin() + static_cast<std::ptrdiff_t>(from) * image.width,
              image.pixels.begin() + static_cast<std::ptrdiff_t>(to) * image.width, part.pixels.begin());
    return part;
}

// The sets the line estimate rates best over lines `top` to `bottom`.
std::vector<int> shortlist(const std::vector<std::vector<double>>& lineCosts, int top, int bottom)
{
    std::vector<std::pair<double, int>> totals;
    for (std::size_t set = 0; set < lineCosts.front().size(); ++set) {
        double total = 0;
        for (int y = top; y < bottom; ++y)
            total += lineCosts[static_cast<std::size_t>(y)][set];
        totals.emplace_back(total, static_cast<int>(set));
    }
    const std::size_t kept = std::min<std::size_t>(kShortlist, totals.size());
    std::partial_sort(totals.begin(), totals.begin() + static_cast<std::ptrdiff_t>(kept), totals.end());
    std::vector<int> sets;
    for (std::size_t i = 0; i < kept; ++i)
        sets.push_back(totals[i].second);
    return sets;
}

// One band and its context, dithered with each line in its chain's set or
// the band's lines in one set, and scored on the picture they show.
class BandWindow {
public:
    BandWindow(const LinearImage& grid, const LinearImage& display, std::vector<MethodPalette> linePalettes,
               int top, int bottom)
        : from_(std::max(0, top - kContextAbove)), to_(std::min(grid.height, bottom + kContextBelow)),
          top_(top), bottom_(bottom), scaleX_(display.width / grid.width), scaleY_(display.height / grid.height),
          part_(rowsOf(grid, from_, to_)), reference_(rowsOf(display, from_ * scaleY_, to_ * scaleY_)),
          palettes_(linePalettes.begin() + from_, linePalettes.begin() + to_)
    {
    }

    double scoreAsItIs(const BandWeighing& weighing) { return scoreOf(palettes_, weighing); }

    double scoreInOneSet(const MethodPalette& set, const BandWeighing& weighing)
    {
        std::vector<MethodPalette> palettes = palettes_;
        std::fill(palettes.begin() + (top_ - from_), palettes.begin() + (bottom_ - from_), set);
        return scoreOf(palettes, weighing);
    }

private:
    double scoreOf(const std::vector<MethodPalette>& palettes, const BandWeighing& weighing)
    {
        const RowPalettes rows(palettes);
        return reference_.distance(quickPass(weighing.method, part_, rows, weighing.damping), rows, scaleX_, scaleY_,
                                   scratch_);
    }

    int from_, to_, top_, bottom_, scaleX_, scaleY_;
    LinearImage part_;
    ScoreReference reference_;
    std::vector<MethodPalette> palettes_;  // of the window's lines as the chain stands
    ScoreScratch scratch_;
};

std::vector<MethodPalette> palettesOf(const std::vector<MethodPalette>& sets, const std::vector<int>& chain)
{
    std::vector<MethodPalette> palettes;
    for (const int set : chain)
        palettes.push_back(sets[static_cast<std::size_t>(set)]);
    return palettes;
}

// The whole picture dithered with each line in its chain's set, scored.
double wholeScore(const LinearImage& grid, const ScoreReference& reference, const std::vector<MethodPalette>& sets,
                  const std::vector<int>& chain, const BandWeighing& weighing, ScoreScratch& scratch)
{
    const RowPalettes rows(palettesOf(sets, chain));
    return reference.distance(quickPass(weighing.method, grid, rows, weighing.damping), rows,
                              kDisplayWidth / grid.width, kDisplayLines / kScreenLines, scratch);
}

bool withinChanges(unsigned to, unsigned from, int changes)
{
    return std::popcount(to & ~from) <= changes;
}

}  // namespace

std::vector<int> refinedByBands(const LinearImage& grid, const std::vector<MethodPalette>& sets,
                                const std::vector<unsigned>& masks, const std::vector<std::vector<double>>& lineCosts,
                                std::vector<int> chain, int changes, const BandWeighing& weighing)
{
    assert(static_cast<int>(chain.size()) == grid.height && lineCosts.size() == chain.size());
    const LinearImage display = areaAverage(grid, kDisplayWidth, grid.height * (kDisplayLines / kScreenLines));
    const ScoreReference reference(display);
    ScoreScratch scratch;
    double chainScore = wholeScore(grid, reference, sets, chain, weighing, scratch);
    const auto maskAt = [&](int y) { return masks[static_cast<std::size_t>(chain[static_cast<std::size_t>(y)])]; };
    for (int top = 0; top < grid.height; top += kBandLines) {
        const int bottom = std::min(grid.height, top + kBandLines);
        BandWindow window(grid, display, palettesOf(sets, chain), top, bottom);
        double bestScore = window.scoreAsItIs(weighing);
        int best = -1;
        for (const int set : shortlist(lineCosts, top, bottom)) {
            const unsigned mask = masks[static_cast<std::size_t>(set)];
            if ((top > 0 && !withinChanges(mask, maskAt(top - 1), changes)) ||
                (bottom < grid.height && !withinChanges(maskAt(bottom), mask, changes)))
                continue;
            if (const double score = window.scoreInOneSet(sets[static_cast<std::size_t>(set)], weighing);
                score < bestScore) {
                bestScore = score;
                best = set;
            }
        }
        if (best < 0)
            continue;
        // The window starts without the error the lines above pass down,
        // which a set that cannot show the picture's colours piles up far
        // down it: the whole picture has the last word.
        std::vector<int> changed = chain;
        std::fill(changed.begin() + top, changed.begin() + bottom, best);
        if (const double score = wholeScore(grid, reference, sets, changed, weighing, scratch); score < chainScore) {
            chainScore = score;
            chain = std::move(changed);
        }
    }
    return chain;
}
