// A long session in the real window: pictures opened again and again through
// File › "Open...", each sampled by Timer1 and converted, then converted once
// more with other options through "Convert". Resident memory must level off
// after a warm-up instead of growing with every conversion, and the last
// conversion must still give the engine's bytes.
#include "test_pictures.h"
#include "picture/picture_loader.h"
#include "window_test_support.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <array>

// The sanitizer build runs fewer rounds: AddressSanitizer keeps freed memory
// in quarantine on purpose, so resident memory says nothing there, and its
// own leak check at exit covers that build.
#ifndef RASTERINE_LONG_RUN_ROUNDS
#define RASTERINE_LONG_RUN_ROUNDS 1000
#endif
#ifndef RASTERINE_LONG_RUN_CHECKS_MEMORY
#define RASTERINE_LONG_RUN_CHECKS_MEMORY 1
#endif

namespace {

constexpr int kRounds = RASTERINE_LONG_RUN_ROUNDS;
constexpr int kWarmUpRounds = 50;
// Generous: allocator caches and Qt's own lazily built tables may still move
// a little after the warm-up. Leaking one preview (320 KB) per round would
// break it within 26 rounds, and leaking 4.5 kB per conversion within the run.
constexpr qint64 kAllowedGrowthKb = 8 * 1024;

// The process's resident set size in kB, from /proc/self/status; -1 if unknown.
qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    // Read whole: /proc files claim a size of 0, so atEnd() is no guide.
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLongLong();
    }
    return -1;
}

// The rounds to run: RASTERINE_LONG_RUN_ROUNDS in the environment asks for a
// short session (tests/valgrind.sh runs a few rounds under memcheck), where
// resident memory is not checked.
int roundsToRun(bool* overridden)
{
    bool ok = false;
    const int asked = qEnvironmentVariableIntValue("RASTERINE_LONG_RUN_ROUNDS", &ok);
    *overridden = ok && asked > 0;
    return *overridden ? asked : kRounds;
}

// The options a round converts with the second time, cycling through every
// mode, half-tone and stagger setting.
struct RoundOptions {
    int modeButton, toneButton;
    bool stagger;
};
RoundOptions optionsForRound(int round)
{
    return RoundOptions{round % 5, (round / 5) % 5, (round / 25) % 2 == 1};
}

}  // namespace

class WindowLongRunTest : public QObject {
    Q_OBJECT
private slots:
    void manyConversionsKeepMemoryFlat()
    {
        ScratchWorkingFolder folder;
        const std::array<QString, 4> pictures{
            savePng(colourfulScene(500, 200), folder.file("wide.png")),
            savePng(plainPicture(64, 64, QColor(200, 40, 160)), folder.file("plain.png")),
            folder.file("scene.jpg"),
            folder.file("tall.bmp"),
        };
        QVERIFY(colourfulScene(320, 256).save(pictures[2], "JPEG"));
        QVERIFY(colourfulScene(200, 400).save(pictures[3], "BMP"));

        WindowUnderTest test;
        test.Timer1()->setInterval(1);
        QSignalSpy finished(&test.window, &frmMain::conversionFinished);

        bool shortSession = false;
        const int rounds = roundsToRun(&shortSession);
        const qint64 startKb = residentKb();
        qint64 warmKb = -1;
        RoundOptions options{};
        for (int round = 0; round < rounds; ++round) {
            test.openThroughMenu(pictures[std::size_t(round) % pictures.size()]);
            QVERIFY2(test.waitForConversion(), qPrintable(QStringLiteral("round %1").arg(round)));

            options = optionsForRound(round);
            test.modeButton(options.modeButton)->click();
            test.toneButton(options.toneButton)->click();
            test.chkStagger()->setChecked(options.stagger);
            test.cmdConvert()->click();

            if (round + 1 == kWarmUpRounds)
                warmKb = residentKb();
        }
        const qint64 endKb = residentKb();
        qInfo("%d rounds, %d conversions; resident memory: start %lld kB, after %d rounds %lld kB, "
              "end %lld kB",
              rounds, int(finished.count()), startKb, kWarmUpRounds, warmKb, endKb);

        QCOMPARE(finished.count(), 2 * rounds);
        for (const QList<QVariant>& written : finished)
            QVERIFY(written.front().toBool());
        QVERIFY(test.messages.isEmpty());

        // The last conversion is still exactly the engine's.
        const QString last = pictures[std::size_t(rounds - 1) % pictures.size()];
        const int curmode = kModeOfButton[std::size_t(options.modeButton)];
        const EngineConversion expected =
            engineConversion(loadPicture(last).value().image, curmode, options.toneButton, options.stagger);
        QCOMPARE(readFile(folder.file("$.screen")), expected.screen);
        QCOMPARE(test.picImage2()->image(), expected.preview);
        // Nothing but the pictures and the two files: no temporaries piled up.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(),
                 int(pictures.size()) + 2);

        if (!RASTERINE_LONG_RUN_CHECKS_MEMORY || shortSession)
            return;
        QVERIFY(startKb > 0 && warmKb > 0 && endKb > 0);
        QVERIFY2(endKb - warmKb < kAllowedGrowthKb,
                 qPrintable(QStringLiteral("resident memory grew by %1 kB after the warm-up")
                                .arg(endKb - warmKb)));
    }
};

QTEST_MAIN(WindowLongRunTest)
#include "window_long_run_test.moc"
