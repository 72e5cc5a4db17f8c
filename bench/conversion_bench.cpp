// Times the conversion engine: one whole conversion pass (planes to screen
// bytes and the 320 x 256 preview) for every mode, half-tone and Stagger, and
// the table building that precedes each pass.
#include "tests/engine_steps.h"
#include "outputs/screen_files.h"
#include "platform/file_output.h"
#include "conversion/classic/conversion_pass.h"
#include "conversion/classic/halftone.h"
#include "conversion/painter.h"
#include "conversion/screen_layout.h"
#include "photo_planes.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <stdlib.h>

namespace {

std::unique_ptr<ConversionState> preparedState(const benchmark::State& run)
{
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    fillPhotoPlanes(*state, 1982);
    state->curmode = static_cast<std::int32_t>(run.range(0));
    state->htone = static_cast<std::int32_t>(run.range(1));
    state->stagger = run.range(2) != 0;
    InitVars(*state);
    InitMat(*state);
    return state;
}

void ConversionPass(benchmark::State& run)
{
    const auto state = preparedState(run);
    BufferSurface preview(kPictureWidth, kPictureHeight);
    for (auto _ : run) {
        Conversion image = convertPlanes(*state, preview);
        benchmark::DoNotOptimize(image.bytes().data());
        benchmark::DoNotOptimize(preview.pixels().data());
        benchmark::ClobberMemory();
    }
    run.SetItemsProcessed(run.iterations() * kPictureWidth * kPictureHeight);
}
BENCHMARK(ConversionPass)
    ->ArgNames({"mode", "tone", "stagger"})
    ->ArgsProduct({{0, 1, 2, 4, 5}, {0, 1, 2, 3, 4}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// The stages of one pass on their own: the method (planes to screen image),
// the packer and the painter.
void Stages(benchmark::State& run)
{
    const auto state = preparedState(run);
    BufferSurface preview(kPictureWidth, kPictureHeight);
    const Screen image = WriteImage(*state);
    for (auto _ : run) {
        switch (run.range(3)) {
        case 0: benchmark::DoNotOptimize(WriteImage(*state).pixels.data()); break;
        case 1: benchmark::DoNotOptimize(packScreen(image).data()); break;
        default: paintScreen(image, preview); break;
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Stages)
    ->ArgNames({"mode", "tone", "stagger", "stage"})
    ->ArgsProduct({{0, 2}, {1}, {0}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond);

// A whole Convert as the window runs it: tables, pass, and both files written
// in full, flushed to disk and renamed into place, in a temporary folder.
void ConvertAndWriteFiles(benchmark::State& run)
{
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    fillPhotoPlanes(*state, 1982);
    state->htone = static_cast<std::int32_t>(Halftone::Fine);
    BufferSurface preview(kPictureWidth, kPictureHeight);
    std::string folder = (std::filesystem::temp_directory_path() / "rasterine-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        run.SkipWithError("cannot make a temporary folder");
        return;
    }
    const std::string screenFile = folder + "/$.screen";
    for (auto _ : run) {
        if (!replaceFiles(screenFileSet(screenFile, convertScreen(*state, preview)))) {
            run.SkipWithError("cannot write the screen files");
            break;
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(ConvertAndWriteFiles)->Unit(benchmark::kMicrosecond);

void TablesForOneConversion(benchmark::State& run)
{
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    state->htone = static_cast<std::int32_t>(run.range(0));
    for (auto _ : run) {
        InitVars(*state);
        InitMat(*state);
        benchmark::DoNotOptimize(state->mat(0, 0));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(TablesForOneConversion)->ArgName("tone")->DenseRange(0, 4)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
