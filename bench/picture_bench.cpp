// Times the shared picture path: loading a large photo (decoding at reduced
// size and stretching to 320 x 256) and sampling it into the planes. The
// photos are made when the benchmark starts, in a temporary folder.
#include "photo_files.h"
#include "picture/picture_loader.h"
#include "picture/picture_sampling.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

struct Photos {
    QTemporaryDir folder;
    QString baseline;
    QString progressive;
};

Photos* photos = nullptr;

void LoadBigJpeg(benchmark::State& run)
{
    const QString& path = run.range(0) ? photos->progressive : photos->baseline;
    for (auto _ : run) {
        Result<LoadedPicture> picture = loadPicture(path);
        if (!picture.ok()) {
            run.SkipWithError(failureReason(picture.failure()).toStdString().c_str());
            break;
        }
        benchmark::DoNotOptimize(picture.value().image.constBits());
    }
}
BENCHMARK(LoadBigJpeg)->ArgName("progressive")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What the window decodes of one photo: the canvas and the larger source at
// one opening (ScreenAndDisplay, arg 1), against the two loads it took when
// each was read on its own (arg 0), as when a linear-light method follows.
void LoadBigJpegForTheWindow(benchmark::State& run)
{
    const bool atOnce = run.range(0) != 0;
    for (auto _ : run) {
        if (atOnce) {
            benchmark::DoNotOptimize(loadPicture(photos->baseline, PictureDetail::ScreenAndDisplay).ok());
        } else {
            benchmark::DoNotOptimize(loadPicture(photos->baseline, PictureDetail::Screen).ok());
            benchmark::DoNotOptimize(loadPicture(photos->baseline, PictureDetail::Display).ok());
        }
    }
}
BENCHMARK(LoadBigJpegForTheWindow)->ArgName("at_once")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void SamplePicture(benchmark::State& run)
{
    QImage picture(320, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 320; ++x)
            picture.setPixel(x, y, qRgb(x, y, (x * y) & 0xFF));
    auto state = std::make_unique<ConversionState>();
    for (auto _ : run) {
        samplePicture(picture, *state);
        benchmark::DoNotOptimize(state->red(0, 0));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(SamplePicture)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Photos made;
    made.baseline = writeBigPhoto(made.folder.path(), false);
    made.progressive = writeBigPhoto(made.folder.path(), true);
    if (made.baseline.isEmpty() || made.progressive.isEmpty()) {
        std::fprintf(stderr, "could not write the benchmark photos in %s\n",
                     qPrintable(made.folder.path()));
        return 1;
    }
    photos = &made;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
