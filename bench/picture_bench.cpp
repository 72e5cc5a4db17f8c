// Times the shared picture path: loading a large photo (decoding at reduced
// size and stretching to 320 x 256) and sampling it into the planes. The
// photos are made when the benchmark starts, in a temporary folder.
#include "photo_files.h"
#include "picture/picture_loader.h"
#include "picture/picture_sampling.h"

#include <QBuffer>
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

// What the window decodes of one photo. Arg 0: the canvas and the larger
// source loaded each on its own, two readings of the file. Arg 1: the one
// opening (ScreenAndDisplay), which for this photo decodes the canvas and
// keeps the bytes. Arg 2: that opening and then the source decoded from the
// bytes, as when a linear-light method follows.
void LoadBigJpegForTheWindow(benchmark::State& run)
{
    for (auto _ : run) {
        if (run.range(0) == 0) {
            benchmark::DoNotOptimize(loadPicture(photos->baseline, PictureDetail::Screen).ok());
            benchmark::DoNotOptimize(loadPicture(photos->baseline, PictureDetail::Display).ok());
            continue;
        }
        Result<LoadedPicture> opened = loadPicture(photos->baseline, PictureDetail::ScreenAndDisplay);
        if (run.range(0) == 2 && opened.ok()) {
            QBuffer buffer(&opened.value().encoded);
            buffer.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(loadPicture(buffer, PictureDetail::Display).ok());
        }
    }
}
BENCHMARK(LoadBigJpegForTheWindow)->ArgName("kind")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

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
