// Times the real window as a user meets it, started like the program itself
// (the same application setup as ui/main.cpp):
//   1. from the process's start to the window's first paint having been
//      shown (the paint events of the first exposure, and the flush that
//      follows them in the same pass, are done);
//   2. File › "Open..." on a photo through the window's own handler (only the
//      open dialog is answered by this program, as in the window tests) to
//      the conversion-finished signal, that is both files written; Timer1
//      keeps its 1000 ms;
//   3. the resident memory afterwards (VmRSS) and its peak (VmHWM);
//   4. for comparison, loadPicture alone on the same photo, called directly
//      once the window is done: the decode that every open has to wait for.
//
// Usage: window_timing PHOTO [STARTED_AT_NS]
// STARTED_AT_NS is the wall clock in nanoseconds just before the program was
// started (`date +%s%N`); without it the start recorded by the kernel in
// /proc/self/stat is used, which is kept in hundredths of a second only.
// Prints one "name value" line per figure, in milliseconds and MiB.
#include "conversion/classic/conversion_state.h"
#include "packaging/icons/app_icon.h"
#include "picture/picture_loader.h"
#include "ui/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

// Milliseconds on the wall clock, which the launching shell can also read.
double wallNowMs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// When the kernel started this process, on the wall clock: its start in
// clock ticks after boot, carried over to the wall clock through the time
// since boot.
double processStartMs()
{
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    // Fields after the command name, which may hold spaces, start past ')'.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    const double startedAfterBootMs = std::stod(field) * 1e3 / double(::sysconf(_SC_CLK_TCK));
    timespec sinceBoot{};
    clock_gettime(CLOCK_BOOTTIME, &sinceBoot);
    const double nowAfterBootMs = double(sinceBoot.tv_sec) * 1e3 + double(sinceBoot.tv_nsec) / 1e6;
    return wallNowMs() - (nowAfterBootMs - startedAfterBootMs);
}

// A line of /proc/self/status in MiB ("VmRSS", "VmHWM").
double statusMiB(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stod(line.substr(prefix.size())) / 1024.0;
    return -1;
}

// Notes the first paint of the main window, and queues a call that runs once
// the pass that painted it (and flushed it to the screen) has returned.
class FirstPaint final : public QObject {
public:
    std::optional<double> exposedMs, paintStartedMs, paintShownMs;
    std::function<void()> onShown;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && !exposedMs)
            exposedMs = wallNowMs();
        if (event->type() == QEvent::Paint && !paintStartedMs && receiver->isWidgetType() &&
            qobject_cast<frmMain*>(static_cast<QWidget*>(receiver)->window())) {
            paintStartedMs = wallNowMs();
            QMetaObject::invokeMethod(
                this,
                [this] {
                    paintShownMs = wallNowMs();
                    if (onShown)
                        onShown();
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};

// Notes when a timer's period has ended, before its handler runs.
class TimerFired final : public QObject {
public:
    std::optional<double> firedMs;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Timer && !firedMs)
            firedMs = wallNowMs();
        return false;
    }
};

// Runs an event loop, which sleeps between events as the program's own does,
// until `loop` is quit or `timeoutMs` has passed.
void runFor(QEventLoop& loop, int timeoutMs)
{
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
}

void print(const char* name, double value)
{
    std::printf("%s %.1f\n", name, value);
}

}  // namespace

int main(int argc, char* argv[])
{
    const double startedMs = argc >= 3 ? std::stod(argv[2]) / 1e6 : processStartMs();
    const double mainEnteredMs = wallNowMs();

    // From here on as ui/main.cpp, with the paint watcher installed before
    // the window is built (it shows itself from its constructor).
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    FirstPaint firstPaint;
    app.installEventFilter(&firstPaint);
    app.setWindowIcon(rasterineIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.rasterine.Rasterine"));
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_timing PHOTO [STARTED_AT_NS]\n");
        return 2;
    }
    const QString photo = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();

    // The files are written into the working folder: a scratch one.
    QTemporaryDir scratch;
    QDir::setCurrent(scratch.path());

    QEventLoop painting;
    firstPaint.onShown = [&] { painting.quit(); };
    frmMain window;
    runFor(painting, 10000);
    if (!firstPaint.paintShownMs) {
        std::fprintf(stderr, "window_timing: the window was never painted\n");
        return 1;
    }
    app.removeEventFilter(&firstPaint);

    // Let the start settle, as a person would before choosing a file.
    QEventLoop settling;
    runFor(settling, 300);

    auto* Timer1 = window.findChild<QTimer*>(QStringLiteral("Timer1"));
    auto* open = window.findChild<QAction*>(QStringLiteral("mnuFileOpen"));
    if (!Timer1 || !open) {
        std::fprintf(stderr, "window_timing: the window has no Timer1 or File › Open...\n");
        return 1;
    }
    TimerFired timerFired;
    Timer1->installEventFilter(&timerFired);
    window.setFileChooser([&](QWidget*) { return photo; });
    bool written = false;
    std::optional<double> finishedMs;
    QEventLoop converting;
    QObject::connect(&window, &frmMain::conversionFinished, [&](bool ok) {
        written = ok;
        finishedMs = wallNowMs();
        converting.quit();
    });

    const double openMs = wallNowMs();
    open->trigger();
    const double openedMs = wallNowMs();
    runFor(converting, 10000);
    if (!finishedMs || !written) {
        std::fprintf(stderr, "window_timing: the photo was not converted and written\n");
        return 1;
    }
    // The converted picture is shown too before memory is read.
    QEventLoop showing;
    runFor(showing, 200);

    print("start_to_main_ms", mainEnteredMs - startedMs);
    print("start_to_exposed_ms", firstPaint.exposedMs.value_or(0) - startedMs);
    print("start_to_painted_ms", *firstPaint.paintShownMs - startedMs);
    print("open_handler_ms", openedMs - openMs);
    print("timer_fired_after_open_ms", timerFired.firedMs.value_or(0) - openMs);
    print("convert_and_write_ms", *finishedMs - timerFired.firedMs.value_or(0));
    print("open_to_written_ms", *finishedMs - openMs);
    print("open_to_written_beyond_timer_ms", *finishedMs - openMs - Timer1->interval());
    print("vmrss_mib", statusMiB("VmRSS"));
    print("vmhwm_mib", statusMiB("VmHWM"));

    const double loadMs = wallNowMs();
    const bool loaded = loadPicture(photo).ok();
    print("load_picture_alone_ms", wallNowMs() - loadMs);
    return loaded ? 0 : 1;
}
