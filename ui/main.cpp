#include "packaging/icons/app_icon.h"
#include "ui/frm_main.h"
#include "ui/start_picture.h"
#include "ui/window_arguments.h"

#include <QApplication>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

// A usage error: the program's command line is wrong; nothing was opened.
constexpr int kExitUsageError = 2;

QStringList systemArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

void printTo(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

}  // namespace

// Starts Rasterine: --help and --version are answered before Qt starts, so
// they need no display. Then the window, which opens with the start values,
// and the event loop until the window is closed or File › Exit is chosen;
// both end the program with exit code 0.
// The first picture named after Qt's own options is opened as File ›
// Open... opens one; an option neither Qt nor Rasterine knows ends it with
// exit code 2.
int main(int argc, char* argv[])
{
    if (const auto text = helpOrVersion(systemArguments(argc, argv))) {
        printTo(stdout, *text);
        return 0;
    }
    // A full disk or a file-size limit must become a write error the window
    // reports, not a signal that ends the program.
    std::signal(SIGXFSZ, SIG_IGN);

    QApplication app(argc, argv);
    const Result<StartPictures> pictures = startPictures(QCoreApplication::arguments());
    if (!pictures) {
        printTo(stderr, QStringLiteral("%1\n%2").arg(QString::fromStdString(pictures.failure().message()),
                                                      windowUsageHint()));
        return kExitUsageError;
    }
    if (!pictures.value().notOpened.isEmpty())
        printTo(stderr, QStringLiteral("rasterine: %1\n").arg(notOpenedNote(pictures.value())));
    app.setWindowIcon(rasterineIcon());
    // Lets desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.rasterine.Rasterine"));
    frmMain window;
    openStartPicture(window, pictures.value());
    return QApplication::exec();
}
