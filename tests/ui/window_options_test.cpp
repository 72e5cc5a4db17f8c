// The option controls store into the conversion state and nothing else;
// "Convert" converts the planes as they are with the options of that moment.
#include "conversion/methods/method_options.h"
#include "test_pictures.h"
#include "window_test_support.h"

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
        const ConversionState& state = test.window.state();
        QCOMPARE(isMode ? state.curmode : state.htone, stored);
        QCOMPARE(isMode ? state.htone : state.curmode, isMode ? 0 : 2);  // the other group is untouched
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
        QCOMPARE(test.window.state().curmode, 0);
    }

    void staggerFollowsTheBox()
    {
        WindowUnderTest test;
        clickOn(test.chkStagger());
        QCOMPARE(test.window.state().stagger, true);
        clickOn(test.chkStagger());
        QCOMPARE(test.window.state().stagger, false);
    }

    void convertBeforeAnyPictureWritesBlankFiles()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        clickOn(test.cmdConvert());
        QCOMPARE(readFile(folder.file("$.screen")), QByteArray(20480, '\0'));
        QCOMPARE(readFile(folder.file("$.screen.inf")), QByteArray("$.SCREEN   003000 000000 005000\n"));
        QCOMPARE(test.lblStatus()->text(),
                 QStringLiteral("Wrote $.screen and $.screen.inf in %1")
                     .arg(QDir::toNativeSeparators(QDir::currentPath())));
        QVERIFY(test.messages.isEmpty());
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
        test.comboBox("cboMethod")->setCurrentIndex(0);  // classic: NuLA colours need another method
        QVERIFY(!nula->isEnabled());
        QVERIFY(!test.window.nextSettings().nula);
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
        clickOn(test.chkStagger());  // the window still takes clicks
        QVERIFY(test.window.state().stagger);

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
