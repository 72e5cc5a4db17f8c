#include "packaging/icons/app_icon.h"
#include "ui/frm_main.h"
#include "ui/start_picture.h"

#include <QApplication>

#include <csignal>

// Starts Rasterine: the window, which opens with the start values, then the
// event loop until the window is closed or File › Exit is chosen. Both end the program with exit code 0.
// A picture named after Qt's own options is opened as File › Open... opens
// one; further arguments are ignored.
int main(int argc, char* argv[])
{
    // A full disk or a file-size limit must become a write error the window
    // reports, not a signal that ends the program.
    std::signal(SIGXFSZ, SIG_IGN);

    QApplication app(argc, argv);
    app.setWindowIcon(rasterineIcon());
    // Lets desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.rasterine.Rasterine"));
    frmMain window;
    openStartPicture(window, QCoreApplication::arguments());
    return QApplication::exec();
}
