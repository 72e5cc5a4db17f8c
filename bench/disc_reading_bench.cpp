// Times opening a disc image and listing its screens: a full compressed
// 80-track slideshow of photo screens (.ssd), the same as a .dsd, and an
// MMB file of several such discs; every packed screen is unpacked.
#include "tests/engine_steps.h"
#include "conversion/classic/conversion_pass.h"
#include "outputs/boot_discs.h"
#include "outputs/disc_screens.h"
#include "photo_planes.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::vector<Conversion> photoConversions(int count)
{
    std::vector<Conversion> conversions;
    for (int i = 0; i < count; ++i) {
        auto state = std::make_unique<ConversionState>();
        state->setStartValues();
        fillPhotoPlanes(*state, 1982u + static_cast<unsigned>(i));
        state->curmode = i % 2 == 0 ? 2 : 5;
        state->htone = static_cast<int>(Halftone::Fine);
        BufferSurface preview(kPictureWidth, kPictureHeight);
        conversions.push_back(convertScreen(*state, preview));
    }
    return conversions;
}

std::vector<std::uint8_t> showFile(DiscKind kind, int pictures)
{
    static const std::vector<Conversion> conversions = photoConversions(12);
    std::vector<Slide> slides;
    for (int i = 0; i < pictures; ++i)
        slides.push_back({"photo" + std::to_string(i), &conversions[static_cast<std::size_t>(i) % conversions.size()], {}});
    auto set = makeDiscSet(slides, DiscSettings{80, 0, true, kind});
    return std::move(set).value().files.front();
}

void ListScreens(benchmark::State& run)
{
    const auto kind = static_cast<DiscKind>(run.range(0));
    const auto file = showFile(kind, static_cast<int>(run.range(1)));
    const DiscContainer container = kind == DiscKind::Mmb           ? DiscContainer::Mmb
                                    : kind == DiscKind::DoubleSided ? DiscContainer::DoubleSided
                                                                    : DiscContainer::Single;
    std::size_t screens = 0;
    for (auto _ : run) {
        const auto contents = readDiscImage(file, container);
        screens = contents.ok() ? contents.value().screens.size() : 0;
        benchmark::DoNotOptimize(screens);
    }
    run.counters["screens"] = static_cast<double>(screens);
}

}  // namespace

BENCHMARK(ListScreens)
    ->Args({static_cast<int>(DiscKind::Single), 12})
    ->Args({static_cast<int>(DiscKind::DoubleSided), 24})
    ->Args({static_cast<int>(DiscKind::Mmb), 60})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
