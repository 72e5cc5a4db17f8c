// Times mode 7: the whole conversion of a photo's planes (sixel grid, row
// programme over 25 rows) and its parts.
#include "tests/engine_steps.h"
#include "conversion/entry/picture_conversion.h"
#include "conversion/teletext/clean_margin.h"
#include "conversion/teletext/teletext_conversion.h"
#include "conversion/teletext_renderer.h"
#include "photo_planes.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<ConversionState> photoState()
{
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    fillPhotoPlanes(*state, 1982);
    return state;
}

// What the window would run: planes to bytes, .inf line and preview.
void TeletextConversion(benchmark::State& run)
{
    const auto state = photoState();
    BufferSurface preview(320, 256);
    for (auto _ : run) {
        auto result = convertTeletext(*state, preview);
        benchmark::DoNotOptimize(result.bytes().data());
    }
}
BENCHMARK(TeletextConversion)->Unit(benchmark::kMillisecond);

void TeletextRowProgramme(benchmark::State& run)
{
    const LinearImage samples = sixelSamples(planesLinear(*photoState()));
    const auto cells = rowCosts(samples, 12);
    for (auto _ : run)
        benchmark::DoNotOptimize(planRow(cells, RowSearch{}).cost);
}
BENCHMARK(TeletextRowProgramme)->Unit(benchmark::kMicrosecond);

void TeletextRowCosts(benchmark::State& run)
{
    const LinearImage samples = sixelSamples(planesLinear(*photoState()));
    for (auto _ : run)
        benchmark::DoNotOptimize(rowCosts(samples, 12).data());
}
BENCHMARK(TeletextRowCosts)->Unit(benchmark::kMicrosecond);

void TeletextDrawing(benchmark::State& run)
{
    const auto state = photoState();
    const TeletextScreen screen = convertToTeletext(planesLinear(*state));
    BufferSurface frame(kTeletextWidth, kTeletextHeight);
    for (auto _ : run) {
        drawTeletext(screen, frame);
        benchmark::DoNotOptimize(frame.pixels().data());
    }
}
BENCHMARK(TeletextDrawing)->Unit(benchmark::kMillisecond);

// The margin pass over a finished screen: every row's leads, then the
// programme down the rows.
void TeletextMargin(benchmark::State& run)
{
    const LinearImage picture = planesLinear(*photoState());
    const TeletextScreen converted = convertToTeletext(picture);
    for (auto _ : run) {
        TeletextScreen screen = converted;
        cleanLeftMargin(screen, picture, 0.2f);
        benchmark::DoNotOptimize(screen.bytes.data());
    }
}
BENCHMARK(TeletextMargin)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
