// The option controls store into the window's settings and nothing else;
// "Convert" converts the planes as they are with the options of that moment.
#include "conversion/option_catalogue.h"
#include "test_pictures.h"
#include "window_test_support.h"

#include <QSignalSpy>
#include <QCheckBox>
#include <QThreadPool>
#include <QtTest>

class WindowOptionsTest : public QObject {
    Q_OBJECT
private slots:
    void optionButtonsStoreTheirValues_data()
    {
        QTest::addColumn<bool>("isMode");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("stored");
        QTest::newRow("Mode 0") << true << 0 << 0;
        QTest::newRow("Mode 1") << true << 1 << 1;
        QTest::newRow("Mode 4") << true << 3 << 4;
        QTest::newRow("Mode 5") << true << 4 << 5;
        QTest::newRow("Mode 7 (Teletext)") << true << 5 << 7;
        QTest::newRow("Fine") << false << 1 << 1;
        QTest::newRow("Coarse") << false << 2 << 2;
        QTest::newRow("Spiral") << false << 3 << 3;
        QTest::newRow("Diagonal") << false << 4 << 4;
    }

    void optionButtonsStoreTheirValues()
    {
        QFETCH(bool, isMode);
        QFETCH(int, index);
        QFETCH(int, stored);
        WindowUnderTest test;
        QAbstractButton* button = isMode ? test.modeButton(index) : test.toneButton(index);
        clickOn(button);
        const WindowController& controller = test.window.controller();
        QCOMPARE(isMode ? controller.curmode() : controller.htone(), stored);
        QCOMPARE(isMode ? controller.htone() : controller.curmode(), isMode ? 0 : 2);  // the other group is untouched
    }

    void eachGroupIsExclusiveOnItsOwn()
    {
        WindowUnderTest test;
        clickOn(test.modeButton(4));
        clickOn(test.toneButton(3));
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(test.modeButton(i)->isChecked(), i == 4);
            QCOMPARE(test.toneButton(i)->isChecked(), i == 3);
        }
        clickOn(test.modeButton(0));
        QVERIFY(!test.modeButton(4)->isChecked());
        QVERIFY(test.toneButton(3)->isChecked());
        QCOMPARE(test.window.controller().curmode(), 0);
    }

    void staggerFollowsTheBox()
    {
        WindowUnderTest test;
        clickOn(test.chkStagger());
        QCOMPARE(test.window.controller().stagger(), true);
        clickOn(test.chkStagger());
        QCOMPARE(test.window.controller().stagger(), false);
    }

    // Before any picture has been sampled there is nothing to convert:
    // "Convert" leaves a "$.screen" written earlier as it was and says why,
    // also while an opened picture still waits for Timer1.
    void convertBeforeAnyPictureWritesNothing()
    {
        ScratchWorkingFolder folder;
        QFile earlier(folder.file("$.screen"));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier screen");
        earlier.close();
        WindowUnderTest test;
        QSignalSpy finished(&test.window, &frmMain::conversionFinished);
        clickOn(test.cmdConvert());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.front().front().toBool(), false);
        QCOMPARE(readFile(folder.file("$.screen")), QByteArray("an earlier screen"));
        QVERIFY(!QFile::exists(folder.file("$.screen.inf")));
        QVERIFY2(test.lblStatus()->text().startsWith(QStringLiteral("Nothing written: there is no picture")),
                 qPrintable(test.lblStatus()->text()));
        QVERIFY(test.messages.isEmpty());

        test.Timer1()->setInterval(60000);
        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("scene.png")));
        clickOn(test.cmdConvert());
        QCOMPARE(readFile(folder.file("$.screen")), QByteArray("an earlier screen"));
        QVERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Nothing written")));
    }

    void optionsTakeEffectOnlyAtConvert()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        const QString path = savePng(colourfulScene(320, 256), folder.file("scene.png"));
        test.openThroughMenu(path);
        QVERIFY(test.waitForConversion());
        const QByteArray screen = readFile(folder.file("$.screen"));
        const QImage preview = test.picImage2()->image();

        clickOn(test.modeButton(5));  // "Mode 7 (Teletext)", which reads no half-tone
        QVERIFY(!test.toneButton(2)->isEnabled() && !test.chkStagger()->isEnabled());
        clickOn(test.modeButton(3));  // "Mode 4"
        QVERIFY(test.toneButton(2)->isEnabled() && test.chkStagger()->isEnabled());
        clickOn(test.toneButton(2));  // "Coarse"
        clickOn(test.chkStagger());
        QCOMPARE(readFile(folder.file("$.screen")), screen);
        QCOMPARE(test.picImage2()->image(), preview);

        clickOn(test.cmdConvert());
        const EngineConversion expected = engineConversion(test.picImage1()->image(), 4, 2, true);
        QCOMPARE(readFile(folder.file("$.screen")), expected.screen);
        QCOMPARE(readFile(folder.file("$.screen.inf")), QByteArray("$.SCREEN   005800 000000 002800\n"));
        QCOMPARE(test.picImage2()->image(), expected.preview);
    }

    // A new picture option shows on the sampled picture at once and writes
    // nothing; "Convert" then writes what is shown.
    void pictureOptionsShowAtOnceAndWriteAtConvert()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        const QByteArray screen = readFile(folder.file("$.screen"));
        const QImage classic = test.picImage2()->image();

        clickOn(test.modeButton(1));  // "Mode 1": stored only
        QCOMPARE(test.picImage2()->image(), classic);
        test.comboBox("cboMethod")->setCurrentIndex(2);  // Atkinson
        QVERIFY(test.picImage2()->image() != classic);
        test.typePalette("0,4,6,7");
        QCOMPARE(test.lblPalette()->text(), QStringLiteral("VDU 19,1,4;0;19,2,6;0;"));
        QVERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Shown with the new options")));
        const QImage shown = test.picImage2()->image();

        test.typePalette("0,4,9");  // refused: no such colour
        QVERIFY(test.lblStatus()->text().contains(QStringLiteral("not taken")));
        QCOMPARE(test.window.nextSettings().palette, paletteNamed("0,4,6,7"));
        QCOMPARE(test.picImage2()->image(), shown);
        QCOMPARE(readFile(folder.file("$.screen")), screen);

        clickOn(test.cmdConvert());
        QCOMPARE(test.picImage2()->image(), shown);
        QVERIFY(readFile(folder.file("$.screen")) != screen);
        QCOMPARE(readFile(folder.file("$.screen.inf")), QByteArray("$.SCREEN   003000 000000 005000\n"));
        QVERIFY(test.messages.isEmpty());
    }

    // What the picture options show is what is in force and what is written:
    // a refused entry goes back to the value in force, a mode that cannot
    // show a palette takes its own with a word why, and the half-tones and
    // Stagger are greyed out while the method does not read them.
    void shownOptionsAreTheOnesInForce()
    {
        WindowUnderTest test;
        // Every row of the catalogue is an item, in its order.
        QCOMPARE(test.comboBox("cboMethod")->count(), int(kMethodRows.size()));
        QCOMPARE(test.comboBox("cboFit")->count(), int(kFitRows.size()));
        for (std::size_t i = 0; i < kMethodRows.size(); ++i)
            QCOMPARE(test.comboBox("cboMethod")->itemText(int(i)), QString::fromUtf8(kMethodRows[i].caption.data()));
        clickOn(test.modeButton(1));  // "Mode 1"
        test.comboBox("cboMethod")->setCurrentIndex(1);  // Floyd-Steinberg
        QVERIFY(!test.toneButton(1)->isEnabled() && !test.chkStagger()->isEnabled());
        test.typePalette("0,4,6,7");
        test.typePalette("9,9");
        QVERIFY(test.lblStatus()->text().contains(QStringLiteral("not taken")));
        QCOMPARE(test.txtPalette()->text(), QStringLiteral("0,4,6,7"));
        QCOMPARE(test.window.nextSettings().palette, paletteNamed("0,4,6,7"));

        test.comboBox("cboFit")->setCurrentIndex(1);  // "Fit": bars appear
        test.comboBox("cboBar")->setCurrentIndex(1);  // red, which the palette lacks
        QVERIFY(test.lblStatus()->text().contains(QStringLiteral("Red (1) is not in the palette 0,4,6,7")));
        QCOMPARE(test.comboBox("cboBar")->currentIndex(), 0);
        QCOMPARE(int(test.window.nextSettings().barColour), 0);

        clickOn(test.modeButton(0));  // "Mode 0": two colours
        QVERIFY(test.lblStatus()->text().contains(QStringLiteral("not used in mode 0")));
        QCOMPARE(test.comboBox("cboPalette")->currentIndex(), 0);
        QCOMPARE(test.window.nextSettings().palette, PaletteChoice{});
        QVERIFY(!settingsProblem(test.window.nextSettings()));

        test.comboBox("cboMethod")->setCurrentIndex(0);  // the classic half-tone reads them again
        QVERIFY(test.toneButton(1)->isEnabled() && test.chkStagger()->isEnabled());
    }

    // "By line" is offered where the palette can change line by line: in
    // mode 2 only with VideoNuLA colours; Convert then writes the screen.
    void byLineFollowsWhereColoursCanChangeByLine()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        auto* raster = test.window.findChild<QCheckBox*>(QStringLiteral("chkRaster"));
        auto* nula = test.window.findChild<QCheckBox*>(QStringLiteral("chkNula"));
        QVERIFY(raster && !raster->isEnabled());  // classic
        test.comboBox("cboMethod")->setCurrentIndex(1);  // Floyd-Steinberg, mode 2
        QVERIFY(!raster->isEnabled());
        clickOn(nula);
        QVERIFY(raster->isEnabled());
        clickOn(raster);
        QVERIFY(test.window.nextSettings().raster);
        clickOn(test.cmdConvert());
        const QString status = test.lblStatus()->text();
        QVERIFY2(status.startsWith(QStringLiteral("Wrote $.screen")), qPrintable(status));
        clickOn(nula);  // mode 2's standard colours cannot change by line
        QVERIFY(!raster->isEnabled());
        QVERIFY(!test.window.nextSettings().raster);
    }

    // "VideoNuLA colours" takes effect with a method other than the classic
    // one: the palette shows swatches, and Convert writes the .nula file.
    void nulaColoursShowSwatchesAndWriteTheirFile()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        auto* nula = test.window.findChild<QCheckBox*>(QStringLiteral("chkNula"));
        QVERIFY(nula && !nula->isEnabled());
        test.comboBox("cboMethod")->setCurrentIndex(1);  // Floyd-Steinberg
        QVERIFY(nula->isEnabled());
        clickOn(nula);
        QVERIFY(test.window.nextSettings().nula);
        QVERIFY(!test.comboBox("cboPalette")->isEnabled());
        QCOMPARE(test.lblPalette()->text().count(QStringLiteral("background-color")), 16);  // mode 2
        QVERIFY(test.lblPalette()->toolTip().contains(QStringLiteral("?&FE22=&11")));
        clickOn(test.cmdConvert());
        QCOMPARE(readFile(folder.file("$.screen.nula")).size(), 32);
        QCOMPARE(readFile(folder.file("$.screen.nula.inf")), QByteArray("$.NULA     000900 000000 000020\n"));
        QVERIFY(test.lblStatus()->text().startsWith(
            QStringLiteral("Wrote $.screen, $.screen.inf, $.screen.nula and $.screen.nula.inf in ")));
        test.comboBox("cboMethod")->setCurrentIndex(0);  // classic: NuLA colours need another method
        QVERIFY(!nula->isEnabled());
        QVERIFY(!test.window.nextSettings().nula);

        // The standard screen does not keep the NuLA colours beside it.
        clickOn(test.cmdConvert());
        QVERIFY(!QFile::exists(folder.file("$.screen.nula")) && !QFile::exists(folder.file("$.screen.nula.inf")));
        QVERIFY2(test.lblStatus()->text().startsWith(QStringLiteral(
                     "Wrote $.screen and $.screen.inf and removed $.screen.nula and $.screen.nula.inf in ")),
                 qPrintable(test.lblStatus()->text()));
    }

    // Direct binary search runs on a worker thread with its progress shown; a
    // newer option shown meanwhile is not painted over by the older result.
    void slowMethodRunsAsideAndANewerOptionWins()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        clickOn(test.modeButton(4));  // "Mode 5", the quickest to search
        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        const QByteArray screen = readFile(folder.file("$.screen"));
        const QImage classic = test.picImage2()->image();

        test.comboBox("cboMethod")->setCurrentIndex(8);  // direct binary search
        QVERIFY(!test.prgConvert()->isHidden());
        QCOMPARE(test.picImage2()->image(), classic);
        QVERIFY(!test.chkStagger()->isEnabled());  // the method reads no Stagger
        clickOn(test.modeButton(3));  // the window still takes clicks: "Mode 4"
        QCOMPARE(test.window.controller().curmode(), 4);

        test.comboBox("cboMethod")->setCurrentIndex(1);  // Floyd-Steinberg, shown at once
        QVERIFY(test.prgConvert()->isHidden());
        const QImage diffused = test.picImage2()->image();
        QVERIFY(diffused != classic);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(test.picImage2()->image(), diffused);
        QCOMPARE(readFile(folder.file("$.screen")), screen);
    }
};

QTEST_MAIN(WindowOptionsTest)
#include "window_options_test.moc"
