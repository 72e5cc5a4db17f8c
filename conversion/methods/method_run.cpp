#include "conversion/methods/method_run.h"

#include "conversion/methods/binary_search.h"
#include "conversion/methods/error_diffusion.h"
#include "conversion/methods/ordered_dither.h"
#include "conversion/methods/score_refinement.h"

#include <cassert>

namespace {

// Enough sweeps for the polish to settle on photos; most stop sooner.
constexpr int kPolishSweeps = 16;

// Floyd-Steinberg, then direct binary search on the squared eye-weighted
// error (quick, and it swaps neighbours), then polishing against the score
// itself, which puts back the sparse dots the squared error removes from
// deep shadows, until it settles. The search reports the first quarter of
// the progress.
IndexImage searchedPicture(const LinearImage& source, const RowPalettes& palette, int scaleX, int scaleY,
                           const ProgressReport& progress, std::stop_token stop)
{
    const auto part = [&progress](double from, double share) -> ProgressReport {
        if (!progress)
            return {};
        return [&progress, from, share](double fraction) { progress(from + share * fraction); };
    };
    IndexImage start = diffuseError(source, palette, DiffusionKernel::FloydSteinberg);
    IndexImage searched = directBinarySearch(source, palette, std::move(start), scaleX, scaleY, part(0, 0.25), 10, stop);
    IndexImage polished =
        refineByScore(source, palette, std::move(searched), scaleX, scaleY, part(0.25, 0.75), kPolishSweeps, stop);
    if (progress)
        progress(1.0);
    return polished;
}

const ThresholdMap& thresholdMap(ThresholdPattern pattern)
{
    return pattern == ThresholdPattern::Bayer ? bayerMap() : blueNoiseMap();
}

}  // namespace

IndexImage quickPass(Method method, const LinearImage& source, const RowPalettes& palette, float damping)
{
    const MethodRow& row = methodRow(method);
    switch (row.family) {
    case MethodFamily::ErrorDiffusion: return diffuseError(source, palette, row.kernel, damping);
    case MethodFamily::Ordered: return orderedDither(source, palette, thresholdMap(row.pattern));
    case MethodFamily::Search:
    case MethodFamily::Classic: break;
    }
    return diffuseError(source, palette, DiffusionKernel::FloydSteinberg, damping);
}

IndexImage runMethod(Method method, const LinearImage& source, const RowPalettes& palette, float damping,
                     int scaleX, int scaleY, const ProgressReport& progress, std::stop_token stop)
{
    const MethodRow& row = methodRow(method);
    switch (row.family) {
    case MethodFamily::ErrorDiffusion:
    case MethodFamily::Ordered: return quickPass(method, source, palette, damping);
    case MethodFamily::Search: return searchedPicture(source, palette, scaleX, scaleY, progress, stop);
    case MethodFamily::Classic: break;
    }
    assert(!"the classic method runs on the planes");
    return IndexImage(source.width, source.height);
}
