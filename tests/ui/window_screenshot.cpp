// Saves a picture of the real main window after it has converted a generated
// scene in "Mode 1" with Floyd-Steinberg and the best palette for it: the
// README's screenshot.
// Usage: window_screenshot OUTPUT.png
#include "test_pictures.h"
#include "window_test_support.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_screenshot OUTPUT.png\n");
        return 2;
    }
    const QString output = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();

    ScratchWorkingFolder folder;
    WindowUnderTest test(false);
    clickOn(test.modeButton(1));                     // "Mode 1"
    test.comboBox("cboMethod")->setCurrentIndex(1);   // Floyd-Steinberg
    test.comboBox("cboPalette")->setCurrentIndex(1);  // best for this picture
    test.openThroughMenu(savePng(colourfulScene(640, 480), folder.file("sunset.png")));
    if (!test.waitForConversion() || !test.messages.isEmpty()) {
        std::fprintf(stderr, "window_screenshot: the conversion did not finish cleanly\n");
        return 1;
    }
    QApplication::processEvents();
    if (!test.window.grab().save(output, "PNG")) {
        std::fprintf(stderr, "window_screenshot: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
