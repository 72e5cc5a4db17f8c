// The Edit window's redraws at 16x zoom, for docs/performance.md: one
// point of a pencil stroke (the pixels painted and the blocks they cover
// drawn again), a whole stroke undone and redone (what a 1024 x 768 window
// onto the screen shows of it drawn again), and a full 1024 x 768 view
// exposed by scrolling. Each paints through the canvas's own paint code
// into an image of the window's format. Run with QT_QPA_PLATFORM=offscreen.
#include "conversion/conversion.h"
#include "conversion/screen_modes.h"
#include "ui/edit/edit_canvas.h"
#include "ui/edit/screen_document.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kZoom = 16;
const QRect kViewport(0, 0, 1024, 768);

Conversion noisyConversion(int modeNumber)
{
    Conversion conversion;
    conversion.settings.mode = modeNumber;
    const ScreenMode& mode = *findScreenMode(modeNumber);
    conversion.screen = Screen(mode);
    std::mt19937 random(3);
    for (std::uint8_t& pixel : conversion.screen.pixels)
        pixel = static_cast<std::uint8_t>(random() % static_cast<unsigned>(mode.numcols));
    return conversion;
}

// The canvas at 16x and the area of the screen the document said changed
// last, drawn again where the viewport shows it.
struct CanvasAtSixteen {
    ScreenDocument document;
    EditCanvas canvas;
    QImage target{kViewport.size(), QImage::Format_RGB32};
    QRect changed;

    explicit CanvasAtSixteen(int mode) : document(noisyConversion(mode), QStringLiteral("bench"), QString(), true)
    {
        canvas.setDocument(&document);
        canvas.setZoom(kZoom);
        QObject::connect(&document, &ScreenDocument::pixelsChanged, &canvas, [this](const QRect& area) { changed = area; });
    }

    void drawChanged()
    {
        const QRect blocks = canvas.cellRect({changed.left(), changed.top()}) | canvas.cellRect({changed.right(), changed.bottom()});
        const QRect shown = blocks & kViewport;
        if (!shown.isEmpty())
            canvas.render(&target, shown.topLeft(), QRegion(shown));
        benchmark::DoNotOptimize(target.constBits());
    }
};

// A zig-zag stroke inside the viewport's part of the screen.
ScreenPoint strokePoint(int step)
{
    return {2 + (step * 3) % 28, 2 + (step / 10) % 20};
}

void StrokePointAtSixteen(benchmark::State& state)
{
    CanvasAtSixteen at(static_cast<int>(state.range(0)));
    at.document.beginStroke(QStringLiteral("Pencil"));
    int step = 0;
    ScreenPoint last = strokePoint(0);
    for (auto _ : state) {
        const ScreenPoint next = strokePoint(++step);
        at.document.strokePixels(linePixels(last, next), static_cast<std::uint8_t>(step % 2));
        last = next;
        at.drawChanged();
    }
    at.document.endStroke();
}

void UndoStrokeAtSixteen(benchmark::State& state)
{
    CanvasAtSixteen at(static_cast<int>(state.range(0)));
    at.document.beginStroke(QStringLiteral("Pencil"));
    for (int step = 0; step < 200; ++step)
        at.document.strokePixels(linePixels(strokePoint(step), strokePoint(step + 1)), 1);
    at.document.endStroke();
    bool undo = true;
    for (auto _ : state) {
        undo ? at.document.undoStack().undo() : at.document.undoStack().redo();
        undo = !undo;
        at.drawChanged();
    }
}

void ExposeViewAtSixteen(benchmark::State& state)
{
    CanvasAtSixteen at(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        at.canvas.render(&at.target, QPoint(), QRegion(kViewport));
        benchmark::DoNotOptimize(at.target.constBits());
    }
}

// Process time: Qt may spread the drawing over threads of its own.
BENCHMARK(StrokePointAtSixteen)->Arg(0)->Arg(1)->Arg(2)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(UndoStrokeAtSixteen)->Arg(0)->Arg(1)->Arg(2)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ExposeViewAtSixteen)->Arg(0)->Arg(1)->Arg(2)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
