// The View window's redraw at 4x zoom: the whole 2560 x 2220 picture of each
// mode's screen at the television's shape, redrawn and drawn anew, and a
// conversion arriving (screen picture to image), for docs/performance.md.
// Run with QT_QPA_PLATFORM=offscreen.
#include "conversion/conversion.h"
#include "conversion/screen_modes.h"
#include "conversion/screen_picture.h"
#include "ui/picture_view.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

Conversion noisyConversion(int modeNumber)
{
    Conversion conversion;
    conversion.settings.mode = modeNumber;
    std::mt19937 random(3);
    if (const ScreenMode* mode = findScreenMode(modeNumber)) {
        conversion.screen = Screen(*mode);
        for (std::uint8_t& pixel : conversion.screen.pixels)
            pixel = static_cast<std::uint8_t>(random() % static_cast<unsigned>(mode->numcols));
    } else {
        std::vector<std::uint8_t> bytes(1000);
        for (std::uint8_t& byte : bytes)
            byte = static_cast<std::uint8_t>(0xA0 | (random() & 0x5F));
        conversion.screen = Screen::teletext(std::move(bytes));
    }
    return conversion;
}

QImage toImage(const ScreenPicture& picture)
{
    QImage image(picture.pixels.width(), picture.pixels.height(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        std::copy_n(picture.pixels.scanLine(y), image.width(), reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    return image;
}

// The size the View window gives a screen picture at 1x (see view_window.cpp).
QSize shapedSize(const ScreenPicture& picture)
{
    const double lineHeight = kDisplayWidth / (kScreenAspect * kDisplayLines);
    return QSize(picture.displayWidth(), static_cast<int>(std::lround(picture.displayHeight() * lineHeight)));
}

// Everything the view paints at 4x, into an image of the window's format:
// again (`anew` false), or for a picture just arrived, which is scaled first.
void paintAtFourTimes(benchmark::State& state, bool anew)
{
    const ScreenPicture picture = screenPicture(noisyConversion(static_cast<int>(state.range(0))).screen);
    const QImage image = toImage(picture);
    PictureView view;
    view.setZoom(4);
    view.showPicture(image, shapedSize(picture));
    view.resize(view.sizeHint());
    QImage target(view.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        if (anew)
            view.showPicture(image, shapedSize(picture));
        view.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}

void RedrawAtFourTimes(benchmark::State& state)
{
    paintAtFourTimes(state, false);
}

void NewPictureAtFourTimes(benchmark::State& state)
{
    paintAtFourTimes(state, true);
}
// Process time: Qt may spread the drawing over threads of its own.
BENCHMARK(RedrawAtFourTimes)->Arg(0)->Arg(1)->Arg(2)->Arg(7)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(NewPictureAtFourTimes)->Arg(0)->Arg(1)->Arg(2)->Arg(7)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// A conversion arriving while the view is open: the screen's picture made again.
void ScreenPictureOfAConversion(benchmark::State& state)
{
    const Conversion conversion = noisyConversion(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QImage image = toImage(screenPicture(conversion.screen));
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(ScreenPictureOfAConversion)->Arg(0)->Arg(2)->Arg(7)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
