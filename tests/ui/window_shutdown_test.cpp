// The program ends with exit code 0 when File › "E&xit" is chosen or the
// window is closed, asking nothing and writing nothing.
#include "window_test_support.h"

#include <QApplication>
#include <QDir>
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
};

QTEST_MAIN(WindowShutdownTest)
#include "window_shutdown_test.moc"
