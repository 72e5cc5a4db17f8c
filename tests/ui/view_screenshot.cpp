// Saves a picture of the View window showing a generated scene converted in
// "Mode 2" with Floyd-Steinberg at 1x: the README's screenshot of it.
// Usage: view_screenshot OUTPUT.png
#include "test_pictures.h"
#include "ui/view_window.h"
#include "window_test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: view_screenshot OUTPUT.png\n");
        return 2;
    }
    const QString output = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();

    ScratchWorkingFolder folder;
    WindowUnderTest test(false);
    clickOn(test.modeButton(2));                    // "Mode 2"
    test.comboBox("cboMethod")->setCurrentIndex(1);  // Floyd-Steinberg
    test.menuItem("mnuViewScreen")->trigger();
    ViewWindow* view = test.window.viewWindow();
    view->findChild<QComboBox*>(QStringLiteral("cboZoom"))->setCurrentIndex(0);  // 1x
    view->resize(680, 620);  // the screen at 1x, 640 x 555, and the bar above it
    test.openThroughMenu(savePng(colourfulScene(640, 480), folder.file("sunset.png")));
    if (!test.waitForConversion() || !test.messages.isEmpty()) {
        std::fprintf(stderr, "view_screenshot: the conversion did not finish cleanly\n");
        return 1;
    }
    QApplication::processEvents();
    if (!view->grab().save(output, "PNG")) {
        std::fprintf(stderr, "view_screenshot: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
