// Times the ZX02 compressor on one core on the screens discs hold: a made-up
// photo converted in mode 2 with the fine half-tone (classic) and in mode 1
// without (error diffusion's screens pack least well, so take longest),
// with the quick search and, on the first, the thorough one.
#include "tests/engine_steps.h"
#include "conversion/classic/conversion_pass.h"
#include "outputs/compression/zx02.h"
#include "photo_planes.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::vector<std::uint8_t> photoScreen(int mode, Halftone halftone)
{
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    fillPhotoPlanes(*state, 1982);
    state->curmode = mode;
    state->htone = static_cast<int>(halftone);
    BufferSurface preview(kPictureWidth, kPictureHeight);
    return convertScreen(*state, preview).bytes();
}

void Compress(benchmark::State& run)
{
    const auto screen = photoScreen(static_cast<int>(run.range(0)), static_cast<Halftone>(run.range(1)));
    std::size_t packed = 0;
    for (auto _ : run) {
        const auto stream = zx02Compress(screen, static_cast<Zx02Search>(run.range(2)));
        packed = stream.size();
        benchmark::DoNotOptimize(stream.data());
    }
    run.counters["packed_bytes"] = static_cast<double>(packed);
}

}  // namespace

constexpr int kQuick = static_cast<int>(Zx02Search::Quick);
constexpr int kThorough = static_cast<int>(Zx02Search::Thorough);
BENCHMARK(Compress)
    ->Args({2, static_cast<int>(Halftone::Fine), kQuick})
    ->Args({1, static_cast<int>(Halftone::None), kQuick})
    ->Args({2, static_cast<int>(Halftone::Fine), kThorough})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
