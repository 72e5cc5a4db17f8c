// The program ends with exit code 0 when File › "E&xit" is chosen or the
// window is closed, asking nothing and writing nothing, and without waiting
// for a slow conversion to finish.
#include "test_pictures.h"
#include "window_test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QThreadPool>
#include <QtTest>

class WindowShutdownTest : public QObject {
    Q_OBJECT
private slots:
    void exitEndsTheEventLoopWithZero()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        QTimer::singleShot(0, test.menuItem("mnuFileExit"), &QAction::trigger);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(QDir(folder.path()).isEmpty());
        QVERIFY(test.messages.isEmpty());
    }

    void closingTheWindowEndsTheEventLoopWithZero()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        // A picture waiting for the timer is simply dropped.
        test.Timer1()->start(60000);
        QTimer::singleShot(0, &test.window, &QWidget::close);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!test.window.isVisible());
        QVERIFY(QDir(folder.path()).isEmpty());
    }

    // Closing the window stops a slow conversion instead of finishing it:
    // the program ends with 0 and writes nothing.
    void closingStopsASlowConversion()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        clickOn(test.modeButton(0));  // the slowest mode to search
        test.comboBox("cboMethod")->setCurrentIndex(8);  // direct binary search
        test.Timer1()->setInterval(1);
        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("scene.png")));
        QVERIFY(QTest::qWaitFor([&test] { return !test.cmdStop()->isHidden(); }));
        QTimer::singleShot(0, &test.window, &QWidget::close);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Stopped")));
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QVERIFY(!QFile::exists(folder.file("$.screen")));
    }

    // Closing the window stops a slideshow being made, too: no disc is written.
    void closingStopsASlideshow()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        clickOn(test.modeButton(0));
        test.comboBox("cboMethod")->setCurrentIndex(8);  // direct binary search
        const QStringList pictures{savePng(colourfulScene(320, 256), folder.file("a.png")),
                                   savePng(colourfulScene(256, 320), folder.file("b.png"))};
        test.window.setPicturesChooser([&](QWidget*) { return pictures; });
        test.window.setSaveChooser([&](QWidget*, const SaveRequest&) { return folder.file("show.ssd"); });
        test.window.setDiscOptionsChooser([](QWidget*, const DiscOptions& start, bool) { return start; });
        test.menuItem("mnuFileExportSlideshow")->trigger();
        QVERIFY(!test.cmdStop()->isHidden());
        QTimer::singleShot(0, &test.window, &QWidget::close);
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(test.lblStatus()->text(), QStringLiteral("Stopped: no slideshow disc was written"));
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QVERIFY(!QFile::exists(folder.file("show.ssd")));
    }
};

QTEST_MAIN(WindowShutdownTest)
#include "window_shutdown_test.moc"
