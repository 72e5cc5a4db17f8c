// What the status line says after what the user did last: nothing left over
// from an earlier mode or export, a reason for every entry not taken, the
// palette each mode was left with, and every text readable in full.
#include "conversion/option_catalogue.h"
#include "test_pictures.h"
#include "ui/status_line.h"
#include "window_test_support.h"

#include <QSignalSpy>
#include <QStatusBar>
#include <QThreadPool>
#include <QtTest>

namespace {

constexpr int kAtkinson = 2;  // a quick linear-light method in cboMethod
constexpr int kDbs = 8;       // "Direct binary search (slow)"

StatusLine* statusLine(const WindowUnderTest& test)
{
    return qobject_cast<StatusLine*>(test.lblStatus());
}

// Types `text` into a number box and presses Return, as a user does.
void typeNumber(QDoubleSpinBox* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

}  // namespace

class WindowStatusTest : public QObject {
    Q_OBJECT
private slots:
    // A palette typed for mode 1 is refused in mode 0 with a word why; mode 1
    // chosen again has it back, and no word of mode 0 stays in modes 1 and 2.
    void eachModeKeepsItsPaletteAndNoWordOfAnotherStays()
    {
        WindowUnderTest test;
        clickOn(test.modeButton(1));
        test.comboBox("cboMethod")->setCurrentIndex(kAtkinson);
        test.typePalette("0,4,6,7");

        clickOn(test.modeButton(0));
        QVERIFY(test.lblStatus()->text().contains(QStringLiteral("not used in mode 0")));
        QCOMPARE(test.window.nextSettings().palette, PaletteChoice{});

        clickOn(test.modeButton(1));
        QVERIFY2(!test.lblStatus()->text().contains(QStringLiteral("mode 0")), qPrintable(test.lblStatus()->text()));
        QCOMPARE(test.window.nextSettings().palette, paletteNamed("0,4,6,7"));
        QCOMPARE(test.txtPalette()->text(), QStringLiteral("0,4,6,7"));
        QCOMPARE(test.comboBox("cboPalette")->currentIndex(), 2);

        clickOn(test.modeButton(0));
        clickOn(test.modeButton(2));
        QVERIFY(!test.lblStatus()->text().contains(QStringLiteral("mode 0")));
        clickOn(test.modeButton(1));
        clickOn(test.modeButton(4));  // mode 5, never chosen: takes the four colours in force
        QCOMPARE(test.window.nextSettings().palette, paletteNamed("0,4,6,7"));
    }

    // A number typed outside its range is not taken, and the status line says
    // the range; the next entry that is taken clears it.
    void aNumberOutOfRangeIsRefusedWithItsRange_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("told");
        QTest::newRow("gamma above") << "spnGamma" << "9" << "Gamma 9 not taken: give a number from 0.2 to 5";
        QTest::newRow("gamma below") << "spnGamma" << "0.1" << "Gamma 0.1 not taken: give a number from 0.2 to 5";
        QTest::newRow("brightness") << "spnBrightness" << "-3" << "Brightness -3 not taken: give a number from -1 to 1";
        QTest::newRow("contrast") << "spnContrast" << "12" << "Contrast 12 not taken: give a number from 0 to 4";
    }
    void aNumberOutOfRangeIsRefusedWithItsRange()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, told);
        WindowUnderTest test;
        QDoubleSpinBox* number = test.numberBox(box.toLatin1().constData());
        const double before = number->value();
        const Settings settings = test.window.nextSettings();
        typeNumber(number, typed);
        QCOMPARE(test.lblStatus()->text(), told);
        QCOMPARE(number->value(), before);
        QCOMPARE(test.window.nextSettings(), settings);

        typeNumber(number, QStringLiteral("0.5"));
        QVERIFY(!test.lblStatus()->text().contains(QStringLiteral("not taken")));
        QCOMPARE(number->value(), 0.5);
        // Within the range, a third decimal is dropped as it is typed, not refused.
        typeNumber(number, QStringLiteral("0.555"));
        QVERIFY(!test.lblStatus()->text().contains(QStringLiteral("not taken")));
        QCOMPARE(number->value(), 0.55);
    }

    // A "Convert" asked for while a slideshow is made runs after it; the
    // slideshow's summary stays on show beside what that Convert wrote.
    void aConvertQueuedBehindASlideshowKeepsItsSummary()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        QStringList pictures;
        for (int i = 0; i < 3; ++i)
            pictures << savePng(colourfulScene(1200, 900), folder.file(QStringLiteral("big%1.png").arg(i)));
        test.window.setPicturesChooser([&](QWidget*) { return pictures; });
        test.window.setSaveChooser([&](QWidget*, const SaveRequest&) { return folder.file("show.ssd"); });
        test.window.setDiscOptionsChooser([](QWidget*, const DiscOptions& start, bool) { return start; });
        QSignalSpy slideshow(&test.window, &frmMain::slideshowFinished);
        QSignalSpy converted(&test.window, &frmMain::conversionFinished);

        test.menuItem("mnuFileExportSlideshow")->trigger();
        clickOn(test.cmdConvert());
        QVERIFY(slideshow.wait(60000));
        QCOMPARE(slideshow.front().front().toBool(), true);
        QVERIFY(converted.wait(10000));
        const QString status = test.lblStatus()->text();
        QVERIFY2(status.startsWith(QStringLiteral("3 pictures on 1 disc: show.ssd")), qPrintable(status));
        QVERIFY2(status.contains(QStringLiteral("Wrote $.screen and $.screen.inf")), qPrintable(status));

        clickOn(test.cmdConvert());  // a later Convert of its own says only what it did
        QVERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Wrote $.screen")));
    }

    // A long text is shortened in the middle to the room the status line has
    // beside the progress bar and "Stop", never drawn under them; the whole
    // text is its tooltip.
    void aLongStatusIsReadableInFull()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        test.window.resize(700, test.window.height());
        const QString name = QStringLiteral("a picture with a very long name that goes on and on and on.png");
        QFile broken(folder.file(name));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture at all");
        broken.close();
        test.openThroughMenu(folder.file(name));
        StatusLine* line = statusLine(test);
        QVERIFY(line != nullptr);
        const QString full = line->text();
        QVERIFY(full.startsWith(QStringLiteral("Could not open")));
        QCOMPARE(line->toolTip(), full);
        QApplication::processEvents();
        const QString shown = line->shownText();
        QVERIFY(line->fontMetrics().horizontalAdvance(shown) <= line->contentsRect().width());
        QVERIFY(shown.startsWith(QStringLiteral("Could not open")));
        QVERIFY(shown.endsWith(full.right(4)));

        // While direct binary search runs, the progress bar and "Stop" take
        // their room and the text keeps clear of them.
        clickOn(test.modeButton(0));
        test.comboBox("cboMethod")->setCurrentIndex(kDbs);
        test.Timer1()->setInterval(1);
        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("scene.png")));
        QVERIFY(QTest::qWaitFor([&test] { return !test.cmdStop()->isHidden(); }));
        QApplication::processEvents();
        QVERIFY(line->text().startsWith(QStringLiteral("Converting with direct binary search")));
        QVERIFY(line->geometry().right() < test.prgConvert()->geometry().left());
        QVERIFY(line->fontMetrics().horizontalAdvance(line->shownText()) <= line->contentsRect().width());
        QVERIFY(line->shownText().endsWith(QStringLiteral("when it ends")));
        test.cmdStop()->click();
        QThreadPool::globalInstance()->waitForDone();
    }
};

QTEST_MAIN(WindowStatusTest)
#include "window_status_test.moc"
