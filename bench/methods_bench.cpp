// Times the linear-light methods on one core: each method of each mode on a
// made-up photo already on the mode's grid, and the best-palette search.
#include "tests/engine_steps.h"
#include "conversion/colour_space.h"
#include "conversion/methods/method_run.h"
#include "conversion/methods/palette_search.h"
#include "conversion/entry/picture_conversion.h"
#include "conversion/methods/picture_score.h"
#include "conversion/nula/nula_palette.h"
#include "conversion/nula/nula_screen.h"
#include "photo_planes.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

LinearImage photoOnGrid(int width)
{
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    fillPhotoPlanes(*state, 1982);
    LinearImage planes(kPictureWidth, kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            planes.at(x, y) = LinearRgb{srgbToLinear(static_cast<std::uint8_t>(state->red(x, y))),
                                        srgbToLinear(static_cast<std::uint8_t>(state->green(x, y))),
                                        srgbToLinear(static_cast<std::uint8_t>(state->blue(x, y)))};
    return areaAverage(planes, width, kScreenLines);
}

void Method(benchmark::State& run)
{
    const ScreenMode& mode = *findScreenMode(static_cast<int>(run.range(0)));
    const auto method = static_cast<::Method>(run.range(1));
    const LinearImage source = photoOnGrid(mode.screenPixelsPerLine());
    const MethodPalette palette = defaultPalette(mode);
    for (auto _ : run) {
        IndexImage result = runMethod(method, source, palette, 1.0f, kDisplayWidth / source.width, 2);
        benchmark::DoNotOptimize(result.pixels.data());
    }
}
BENCHMARK(Method)
    ->ArgNames({"mode", "method"})
    ->ArgsProduct({{0, 1, 2, 4, 5}, {1, 2, 3, 4, 5, 6, 7, 8}})
    ->Unit(benchmark::kMillisecond);

void BestPalette(benchmark::State& run)
{
    const ScreenMode& mode = *findScreenMode(static_cast<int>(run.range(0)));
    const LinearImage source = photoOnGrid(mode.screenPixelsPerLine());
    for (auto _ : run) {
        MethodPalette palette = bestPalette(source, mode);
        benchmark::DoNotOptimize(palette.physical.data());
    }
}
BENCHMARK(BestPalette)->ArgNames({"mode"})->Arg(0)->Arg(1)->Arg(4)->Arg(5)->Unit(benchmark::kMillisecond);

// The choice of VideoNuLA colours alone, for the method that will use them.
void NulaSearch(benchmark::State& run)
{
    const ScreenMode& mode = *findScreenMode(static_cast<int>(run.range(0)));
    const auto method = static_cast<::Method>(run.range(1));
    const LinearImage source = photoOnGrid(mode.screenPixelsPerLine());
    for (auto _ : run) {
        NulaTable colours = chooseNulaColours(source, mode, method, 1.0f);
        benchmark::DoNotOptimize(colours.data());
    }
}
BENCHMARK(NulaSearch)
    ->ArgNames({"mode", "method"})
    ->ArgsProduct({{0, 1, 2, 4, 5}, {1, 6, 7}})
    ->Unit(benchmark::kMillisecond);

// A whole picture in VideoNuLA colours with dbs: the search, then dbs.
void NulaDbs(benchmark::State& run)
{
    const ScreenMode& mode = *findScreenMode(static_cast<int>(run.range(0)));
    const LinearImage source = photoOnGrid(mode.screenPixelsPerLine());
    for (auto _ : run) {
        Screen image = nulaScreenImage(mode, source, Method::Dbs, 1.0f);
        benchmark::DoNotOptimize(image.pixels.data());
    }
}
BENCHMARK(NulaDbs)->ArgNames({"mode"})->Arg(0)->Arg(1)->Arg(2)->Arg(4)->Arg(5)->Unit(benchmark::kMillisecond);

// What the window does when a new option is picked: the whole engine entry
// from a 1280 x 1024 source (framing, adjusting, the method, the packer and
// the painter), with the mode's own palette (arg 2 = 0) or the best (1).
void PreviewUpdate(benchmark::State& run)
{
    Settings settings;
    settings.mode = static_cast<int>(run.range(0));
    settings.method = static_cast<::Method>(run.range(1));
    if (run.range(2) != 0)
        settings.palette.kind = PaletteChoice::Kind::Best;
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    fillPhotoPlanes(*state, 1982);
    const LinearImage source = areaAverage(photoOnGrid(kPictureWidth), 1280, 1024);
    BufferSurface preview(kPictureWidth, kPictureHeight);
    for (auto _ : run) {
        Conversion conversion = convertWithSettings(settings, *state, source, preview);
        benchmark::DoNotOptimize(conversion.bytes().data());
    }
}
BENCHMARK(PreviewUpdate)
    ->ArgNames({"mode", "method", "best"})
    ->Args({1, 1, 0})->Args({1, 1, 1})->Args({0, 1, 0})->Args({2, 7, 0})->Args({5, 3, 1})->Args({7, 0, 0})
    ->Unit(benchmark::kMillisecond);

// A whole conversion with colours by line (the one-palette conversion it is
// weighed against included), from the picture to the screen.
void Raster(benchmark::State& run)
{
    Settings settings;
    settings.mode = static_cast<int>(run.range(0));
    settings.method = static_cast<::Method>(run.range(1));
    settings.nula = run.range(2) != 0;
    settings.raster = true;
    if (!settings.nula)
        settings.palette.kind = PaletteChoice::Kind::Best;
    const LinearImage source = photoOnGrid(640);
    BufferSurface canvas(kCanvasWidth, kCanvasHeight);
    for (auto _ : run) {
        Screen screen = convertedScreen(settings, canvas, source);
        benchmark::DoNotOptimize(screen.pixels.data());
    }
}
BENCHMARK(Raster)
    ->ArgNames({"mode", "method", "nula"})
    ->Args({0, 1, 0})->Args({1, 1, 0})->Args({4, 1, 0})->Args({5, 1, 0})
    ->Args({0, 1, 1})->Args({1, 1, 1})->Args({2, 1, 1})->Args({4, 1, 1})->Args({5, 1, 1})
    ->Args({1, 8, 0})->Args({5, 8, 0})->Args({1, 8, 1})->Args({2, 8, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
