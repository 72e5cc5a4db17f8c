// The window and rasterine-convert must turn the same picture with the same
// options into the same bytes and the same preview.
#include "cli/options.h"
#include "conversion/option_catalogue.h"
#include "tests/engine_steps.h"
#include "conversion/settings.h"
#include "test_pictures.h"
#include "window_test_support.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kToneNames[] = {"none", "fine", "coarse", "spiral", "diagonal"};

// The picture options of one comparison, as the window's controls take them.
struct PictureOptionValues {
    Method method = Method::Classic;
    QString palette = QStringLiteral("default");  // default, best or colours
    Fit fit = Fit::Stretch;
    int bar = 0;
    std::array<double, 4> adjustments{0, 1, 1, 1};  // brightness, contrast, saturation, gamma

    void setInWindow(WindowUnderTest& test) const
    {
        test.comboBox("cboMethod")->setCurrentIndex(int(std::find(kAllMethods.begin(), kAllMethods.end(), method) -
                                                        kAllMethods.begin()));
        if (palette == QStringLiteral("best"))
            test.comboBox("cboPalette")->setCurrentIndex(1);
        else if (palette != QStringLiteral("default"))
            test.typePalette(palette);
        test.comboBox("cboFit")->setCurrentIndex(int(fit));
        test.comboBox("cboBar")->setCurrentIndex(bar);
        const char* boxes[] = {"spnBrightness", "spnContrast", "spnSaturation", "spnGamma"};
        for (std::size_t i = 0; i < adjustments.size(); ++i)
            test.numberBox(boxes[i])->setValue(adjustments[i]);
    }

    // The options a user would type: those away from their defaults (the
    // command line refuses one the conversion does not read).
    QStringList arguments() const
    {
        const PictureOptionValues defaults;
        QStringList list;
        if (method != defaults.method)
            list << "--dither" << QString::fromLatin1(methodName(method));
        if (palette != defaults.palette)
            list << "--palette" << palette;
        if (fit != defaults.fit)
            list << "--fit" << QString::fromLatin1(fitName(fit));
        if (fit == Fit::Whole)
            list << "--bar" << QString::number(bar);
        const char* names[] = {"--brightness", "--contrast", "--saturation", "--gamma"};
        for (std::size_t i = 0; i < adjustments.size(); ++i)
            if (adjustments[i] != defaults.adjustments[i])
                list << names[i] << QString::number(adjustments[i]);
        return list;
    }
};

}  // namespace

Q_DECLARE_METATYPE(PictureOptionValues)

class WindowAndCommandLineTest : public QObject {
    Q_OBJECT
private slots:
    // Both build their conversion from the engine's one Settings type: the
    // window's controls and the matching arguments give equal settings.
    void sameSettingsForEveryOption()
    {
        WindowUnderTest test;
        for (int modeButton = 0; modeButton < 5; ++modeButton)
            for (int tone = 0; tone < 5; ++tone)
                for (bool stagger : {false, true}) {
                    clickOn(test.modeButton(modeButton));
                    clickOn(test.toneButton(tone));
                    if (test.chkStagger()->isChecked() != stagger)
                        clickOn(test.chkStagger());
                    QStringList arguments{"rasterine-convert", "-m",
                                          QString::number(kModeOfButton[static_cast<std::size_t>(modeButton)]),
                                          "-t", kToneNames[tone], "picture.png"};
                    if (stagger)
                        arguments << "-s";
                    const Result<Command> command = parseCommandLine(arguments);
                    QVERIFY(command && std::holds_alternative<Options>(command.value()));
                    QVERIFY(std::get<Options>(command.value()).settings == test.window.nextSettings());
                }
    }

    void sameBytesAndPreview_data()
    {
        QTest::addColumn<int>("modeButton");
        QTest::addColumn<int>("tone");
        QTest::addColumn<bool>("stagger");
        QTest::addColumn<PictureOptionValues>("options");
        const PictureOptionValues classic;
        QTest::newRow("mode 0 fine") << 0 << 1 << false << classic;
        QTest::newRow("mode 1 coarse stagger") << 1 << 2 << true << classic;
        QTest::newRow("mode 2 none") << 2 << 0 << false << classic;
        QTest::newRow("mode 4 spiral") << 3 << 3 << false << classic;
        QTest::newRow("mode 5 diagonal stagger") << 4 << 4 << true << classic;
        QTest::newRow("mode 7") << 5 << 0 << false << classic;
        QTest::newRow("mode 7 fill, contrast") << 5 << 0 << false
                                               << PictureOptionValues{.fit = Fit::Fill, .adjustments = {0, 1.3, 1, 1}};
        QTest::newRow("mode 1 atkinson, best palette")
            << 1 << 0 << false << PictureOptionValues{.method = Method::Atkinson, .palette = "best"};
        QTest::newRow("mode 4 floyd-steinberg, fit on blue")
            << 3 << 0 << false
            << PictureOptionValues{.method = Method::FloydSteinberg, .palette = "0,4", .fit = Fit::Whole, .bar = 4};
        QTest::newRow("mode 5 stucki, named colours")
            << 4 << 0 << false << PictureOptionValues{.method = Method::Stucki, .palette = "0,1,4,7"};
        QTest::newRow("mode 2 blue noise, adjusted")
            << 2 << 0 << false
            << PictureOptionValues{.method = Method::BlueNoise, .adjustments = {0.1, 1.2, 1.3, 1.15}};
        QTest::newRow("mode 0 classic coarse, fill, adjusted")
            << 0 << 2 << false << PictureOptionValues{.fit = Fit::Fill, .adjustments = {-0.05, 1, 0.8, 1}};
        // On the worker thread; mode 5's grid is the smallest.
        QTest::newRow("mode 5 direct binary search")
            << 4 << 0 << false << PictureOptionValues{.method = Method::Dbs, .palette = "best"};
    }

    void sameBytesAndPreview()
    {
        QFETCH(int, modeButton);
        QFETCH(int, tone);
        QFETCH(bool, stagger);
        QFETCH(PictureOptionValues, options);

        ScratchWorkingFolder folder;
        // A JPEG larger than the canvas, so decoding, orientation and
        // shrinking are all on the way.
        const QString picture = folder.file("scene.jpg");
        QVERIFY(colourfulScene(1400, 900).save(picture, "JPEG", 90));

        WindowUnderTest test;
        clickOn(test.modeButton(modeButton));
        clickOn(test.toneButton(tone));
        if (stagger)
            clickOn(test.chkStagger());
        options.setInWindow(test);
        test.openThroughMenu(picture);
        QVERIFY(test.waitForConversion(120000));
        QVERIFY(test.messages.isEmpty());

        // The window's Save Preview As, and --real-preview: the same PNG.
        test.window.setSaveChooser([&](QWidget*, const SaveRequest&) { return folder.file("window-real.png"); });
        test.menuItem("mnuFileSavePreviewAs")->trigger();

        // A screen file named $.screen in any folder has the window's .inf.
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("cli")));
        QStringList arguments{QStringLiteral("-m"), QString::number(kModeOfButton[static_cast<std::size_t>(modeButton)]),
                              "-o", folder.file("cli/$.screen"), "-p", folder.file("cli.png"), "--real-preview",
                              folder.file("cli-real.png"), picture};
        if (tone != 0)
            arguments << "-t" << kToneNames[tone];
        if (stagger)
            arguments.prepend("-s");
        arguments = options.arguments() + arguments;
        const Result<Command> command = parseCommandLine(QStringList{"rasterine-convert"} + arguments);
        QVERIFY(command && std::holds_alternative<Options>(command.value()));
        QVERIFY(std::get<Options>(command.value()).settings == test.window.nextSettings());

        QProcess converter;
        converter.start(QStringLiteral(RASTERINE_CONVERT), arguments);
        QVERIFY(converter.waitForFinished(120000));
        QCOMPARE(converter.exitCode(), 0);

        QCOMPARE(readFile(folder.file("cli/$.screen")), readFile(folder.file("$.screen")));
        QCOMPARE(readFile(folder.file("cli/$.screen.inf")), readFile(folder.file("$.screen.inf")));
        QVERIFY(!readFile(folder.file("window-real.png")).isEmpty());
        QVERIFY(readFile(folder.file("cli-real.png")) == readFile(folder.file("window-real.png")));
        const QImage preview(folder.file("cli.png"));
        QCOMPARE(preview.convertToFormat(QImage::Format_RGB32), test.picImage2()->image());
    }

    // File › "Export Disc Image..." and rasterine-convert --disc make the
    // same boot disc of the same picture, byte for byte: compressed, and
    // with VideoNuLA colours set up by the loader when they are chosen.
    void sameBootDisc_data()
    {
        QTest::addColumn<int>("modeButton");
        QTest::addColumn<bool>("nula");
        QTest::newRow("mode 1 classic") << 1 << false;
        QTest::newRow("mode 2 floyd-steinberg, VideoNuLA colours") << 2 << true;
    }

    void sameBootDisc()
    {
        QFETCH(int, modeButton);
        QFETCH(bool, nula);
        ScratchWorkingFolder folder;
        const QString picture = savePng(colourfulScene(400, 300), folder.file("scene.png"));
        WindowUnderTest test;
        test.window.setSaveChooser([&](QWidget*, const SaveRequest&) { return folder.file("window.ssd"); });
        clickOn(test.modeButton(modeButton));
        const PictureOptionValues options{.method = nula ? Method::FloydSteinberg : Method::Classic};
        options.setInWindow(test);
        if (nula)
            test.window.findChild<QCheckBox*>(QStringLiteral("chkNula"))->setChecked(true);
        test.openThroughMenu(picture);
        QVERIFY(test.waitForConversion());
        test.menuItem("mnuFileExportDisc")->trigger();
        QVERIFY(test.messages.isEmpty());

        QStringList arguments = options.arguments();
        arguments << "-m" << QString::number(kModeOfButton[static_cast<std::size_t>(modeButton)]) << "--disc"
                  << folder.file("cli.ssd") << picture;
        if (nula)
            arguments.prepend("--nula");
        QProcess converter;
        converter.start(QStringLiteral(RASTERINE_CONVERT), arguments);
        QVERIFY(converter.waitForFinished(120000));
        QCOMPARE(converter.exitCode(), 0);

        const QByteArray disc = readFile(folder.file("window.ssd"));
        QVERIFY(!discFile(disc, QStringLiteral("$.UNPACK")).isEmpty());
        QCOMPARE(discFile(disc, QStringLiteral("$.!BOOT")).contains("?&FE23="), nula);  // VideoNuLA's palette
        QVERIFY(disc == readFile(folder.file("cli.ssd")));
    }
};

QTEST_MAIN(WindowAndCommandLineTest)
#include "window_and_command_line_test.moc"
