// The window and rasterine-convert must turn the same picture with the same
// options into the same bytes and the same preview.
#include "cli/options.h"
#include "conversion/settings.h"
#include "test_pictures.h"
#include "window_test_support.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kToneNames[] = {"none", "fine", "coarse", "spiral", "diagonal"};

}  // namespace

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
                    const CommandLine command = parseCommandLine(arguments);
                    QVERIFY(std::holds_alternative<Options>(command));
                    QVERIFY(std::get<Options>(command).settings == settingsOf(test.window.state()));
                }
    }

    void sameBytesAndPreview_data()
    {
        QTest::addColumn<int>("modeButton");
        QTest::addColumn<int>("tone");
        QTest::addColumn<bool>("stagger");
        QTest::newRow("mode 0 fine") << 0 << 1 << false;
        QTest::newRow("mode 1 coarse stagger") << 1 << 2 << true;
        QTest::newRow("mode 2 none") << 2 << 0 << false;
        QTest::newRow("mode 4 spiral") << 3 << 3 << false;
        QTest::newRow("mode 5 diagonal stagger") << 4 << 4 << true;
    }

    void sameBytesAndPreview()
    {
        QFETCH(int, modeButton);
        QFETCH(int, tone);
        QFETCH(bool, stagger);

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
        test.openThroughMenu(picture);
        QVERIFY(test.waitForConversion());

        QStringList arguments{QStringLiteral("-m"), QString::number(kModeOfButton[static_cast<std::size_t>(modeButton)]), "-t",
                              kToneNames[tone], "-o", folder.file("cli.screen"), "-p",
                              folder.file("cli.png"), picture};
        if (stagger)
            arguments.prepend("-s");
        QProcess converter;
        converter.start(QStringLiteral(RASTERINE_CONVERT), arguments);
        QVERIFY(converter.waitForFinished(60000));
        QCOMPARE(converter.exitCode(), 0);

        QCOMPARE(readFile(folder.file("cli.screen")), readFile(folder.file("$.screen")));
        QCOMPARE(readFile(folder.file("cli.screen.inf")), readFile(folder.file("$.screen.inf")));
        const QImage preview(folder.file("cli.png"));
        QCOMPARE(preview.convertToFormat(QImage::Format_RGB32), test.picImage2()->image());
    }
};

QTEST_MAIN(WindowAndCommandLineTest)
#include "window_and_command_line_test.moc"
