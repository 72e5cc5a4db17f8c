// When the window converts, what it shows meanwhile, and what a stopped or
// superseded conversion leaves behind.
#include "test_pictures.h"
#include "window_test_support.h"

#include <QFile>
#include <QSignalSpy>
#include <QStatusBar>
#include <QThreadPool>
#include <QtTest>

namespace {

constexpr int kDbs = 8;       // "Direct binary search (slow)" in cboMethod
constexpr int kAtkinson = 2;  // a quick linear-light method

// Opens `path` with direct binary search chosen in mode 0, the slowest to
// search, and waits until Timer1 has started that conversion on the worker.
bool startSlowWrite(WindowUnderTest& test, const QString& path)
{
    clickOn(test.modeButton(0));
    test.comboBox("cboMethod")->setCurrentIndex(kDbs);
    test.Timer1()->setInterval(1);
    test.openThroughMenu(path);
    return QTest::qWaitFor([&test] { return !test.cmdStop()->isHidden(); });
}

// Lets every worker end and every report it sent arrive.
void settle()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}

}  // namespace

class WindowSchedulingTest : public QObject {
    Q_OBJECT
private slots:
    // While direct binary search converts for writing, the status says so and
    // "Stop" stands beside the progress bar; stopped, it writes nothing, says
    // so, and its result never arrives, nor does a "Convert" asked meanwhile.
    void stopEndsASlowConvertWritingNothing()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        QSignalSpy finished(&test.window, &frmMain::conversionFinished);
        QVERIFY(test.cmdStop()->isHidden() && test.prgConvert()->isHidden());
        QVERIFY(startSlowWrite(test, savePng(colourfulScene(320, 256), folder.file("scene.png"))));
        QVERIFY2(test.lblStatus()->text().startsWith(QStringLiteral("Converting with direct binary search")),
                 qPrintable(test.lblStatus()->text()));
        QVERIFY(!test.prgConvert()->isHidden());
        QCOMPARE(test.cmdStop()->text(), QStringLiteral("Stop"));
        QVERIFY(test.window.statusBar()->isAncestorOf(test.cmdStop()));
        QTRY_VERIFY(test.cmdStop()->geometry().left() >= test.prgConvert()->geometry().right());
        clickOn(test.cmdConvert());  // put off until this one ends
        QCOMPARE(finished.count(), 0);

        test.cmdStop()->click();
        QVERIFY(test.cmdStop()->isHidden() && test.prgConvert()->isHidden());
        QVERIFY2(test.lblStatus()->text().startsWith(QStringLiteral("Stopped: nothing written")),
                 qPrintable(test.lblStatus()->text()));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.front().front().toBool(), false);
        settle();
        QCOMPARE(finished.count(), 1);
        QVERIFY(!QFile::exists(folder.file("$.screen")) && !QFile::exists(folder.file("$.screen.inf")));
        QCOMPARE(test.picImage2()->image(), test.picImage1()->image());  // as sampled, not converted
        QVERIFY(test.messages.isEmpty());

        // The window goes on as before: a quick method converts and writes.
        test.comboBox("cboMethod")->setCurrentIndex(kAtkinson);
        clickOn(test.cmdConvert());
        QCOMPARE(finished.count(), 2);
        QCOMPARE(readFile(folder.file("$.screen")).size(), 20480);
    }

    // The picture is decoded once, when it is opened: replacing its file
    // afterwards changes nothing the window converts, with any method.
    void conversionsReadThePictureAsOpened()
    {
        ScratchWorkingFolder folder;
        const QString path = folder.file("scene.jpg");
        QVERIFY(colourfulScene(1400, 900).save(path, "JPEG", 90));
        QVERIFY(QFile::copy(path, folder.file("kept.jpg")));
        WindowUnderTest replaced, kept;
        for (auto [test, picture] : {std::pair{&replaced, path}, std::pair{&kept, folder.file("kept.jpg")}}) {
            test->openThroughMenu(picture);
            QVERIFY(test->waitForConversion());
        }
        QVERIFY(QFile::remove(path));
        QVERIFY(plainPicture(900, 700, Qt::red).save(path, "JPEG"));
        for (WindowUnderTest* test : {&replaced, &kept}) {
            test->comboBox("cboMethod")->setCurrentIndex(kAtkinson);
            test->comboBox("cboFit")->setCurrentIndex(2);  // Fill
        }
        QVERIFY(replaced.messages.isEmpty());
        QVERIFY(replaced.lblStatus()->text().startsWith(QStringLiteral("Shown with the new options")));
        QCOMPARE(replaced.picImage2()->image(), kept.picImage2()->image());
    }

    // What the status line and the palette line say follows what was done
    // last: a refused palette gives way once one is taken, even the one
    // already in use, and the palette line of one mode is not left standing
    // when another is chosen.
    void statusAndPaletteLinesDoNotGoStale()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        clickOn(test.modeButton(1));  // "Mode 1", which takes four colours
        test.comboBox("cboMethod")->setCurrentIndex(kAtkinson);
        test.typePalette("0,4,9");  // before any picture
        QVERIFY(test.lblStatus()->text().contains(QStringLiteral("not taken")));
        test.typePalette("0,4,6,7");
        QVERIFY(!test.lblStatus()->text().contains(QStringLiteral("not taken")));

        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        test.typePalette("0,4,6,7");
        const QString statement = QStringLiteral("VDU 19,1,4;0;19,2,6;0;");
        QCOMPARE(test.lblPalette()->text(), statement);
        const QString shown = test.lblStatus()->text();
        test.typePalette("0,4,9");
        QVERIFY(test.lblStatus()->text().contains(QStringLiteral("not taken")));
        test.typePalette("0,4,6,7");  // the palette in use: nothing to convert again
        QCOMPARE(test.lblStatus()->text(), shown);

        clickOn(test.modeButton(2));  // "Mode 2": mode 1's palette says nothing of it
        QVERIFY(test.lblPalette()->text().isEmpty());
        clickOn(test.modeButton(1));
        QCOMPARE(test.lblPalette()->text(), statement);
        clickOn(test.modeButton(2));
        clickOn(test.cmdConvert());
        QCOMPARE(test.lblPalette()->text(), QStringLiteral("The mode's own colours"));
        QVERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Wrote")));
    }
};

QTEST_MAIN(WindowSchedulingTest)
#include "window_scheduling_test.moc"
