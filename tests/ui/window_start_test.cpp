// Starting the window with a picture named on the command line, as a
// desktop's "Open With" does, and the open dialog's types.
#include "test_pictures.h"
#include "platform/version.h"
#include "ui/start_picture.h"
#include "window_test_support.h"

#include <QDir>
#include <QProcess>
#include <QStatusBar>
#include <QtTest>

namespace {

struct WindowRun {
    int exitCode = -1;
    QString out, err;
};

// The real program with `arguments`, in `folder`, with no display of any
// kind unless `platform` names one.
WindowRun runWindow(const QString& folder, const QStringList& arguments, const QString& platform = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    if (!platform.isEmpty())
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    QProcess window;
    window.setProcessEnvironment(environment);
    window.setWorkingDirectory(folder);
    window.start(QStringLiteral(RASTERINE_WINDOW), arguments);
    if (!window.waitForFinished(60000))
        window.kill();
    return {window.exitStatus() == QProcess::NormalExit ? window.exitCode() : -1,
            QString::fromLocal8Bit(window.readAllStandardOutput()), QString::fromLocal8Bit(window.readAllStandardError())};
}

}  // namespace

class WindowStartTest : public QObject {
    Q_OBJECT
private slots:
    // A name relative to the working folder is opened, sampled and written
    // like a picture chosen in the open dialog, which gives whole paths.
    void opensThePictureNamedAndConvertsIt()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        const QImage scene = colourfulScene(400, 300);
        savePng(scene, folder.file("scene.png"));
        openStartPicture(test.window, StartPictures{QStringLiteral("scene.png"), {}});
        QVERIFY(test.waitForConversion());
        QCOMPARE(test.dialogsShown, 0);
        QVERIFY(test.messages.isEmpty());

        const EngineConversion expected = engineConversion(test.picImage1()->image(), 2, 0, false);
        QCOMPARE(readFile(folder.file("$.screen")), expected.screen);
        QVERIFY(test.lblStatus()->text().contains(QStringLiteral("Wrote")));
    }

    // No picture: the window opens as always. A picture that cannot be
    // read is reported once, as File › Open... reports it.
    void startsAsAlwaysWithoutAPictureAndReportsABadOne()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        openStartPicture(test.window, StartPictures{});
        QVERIFY(!test.Timer1()->isActive());
        QVERIFY(!QFile::exists(folder.file("$.screen")));
        QVERIFY(test.messages.isEmpty());

        openStartPicture(test.window, StartPictures{QStringLiteral("missing.png"), {}});
        QCOMPARE(test.messages.size(), 1);
        QVERIFY2(test.messages.front().text.contains(QDir::toNativeSeparators(folder.file("missing.png"))),
                 qPrintable(test.messages.front().text));
        QVERIFY(!test.Timer1()->isActive());
    }

    // Only the first name is opened; the status bar names the others.
    void opensTheFirstOfSeveralAndSaysTheRestWereNot()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        const QImage scene = colourfulScene(400, 300);
        savePng(scene, folder.file("first.png"));
        savePng(colourfulScene(200, 100), folder.file("second.png"));
        const Result<StartPictures> pictures =
            startPictures({QStringLiteral("rasterine"), QStringLiteral("first.png"), QStringLiteral("second.png")});
        QVERIFY(pictures.ok());
        openStartPicture(test.window, pictures.value());
        QVERIFY(test.waitForConversion());
        const QString note = test.window.statusBar()->currentMessage();
        QVERIFY2(note.contains(QStringLiteral("“second.png” was not opened")), qPrintable(note));
        QVERIFY2(note.contains(QStringLiteral("“first.png”")), qPrintable(note));
        const EngineConversion expected = engineConversion(test.picImage1()->image(), 2, 0, false);
        QCOMPARE(readFile(folder.file("$.screen")), expected.screen);
    }

    // Qt has taken its own options out by then: any other option is
    // refused rather than opened, and after "--" every argument is a name.
    void readsPicturesAndRefusesUnknownOptions()
    {
        const auto read = [](const QStringList& arguments) { return startPictures(QStringList{"rasterine"} + arguments); };
        const Result<StartPictures> three = read({"a.png", "b.png", "c.png"});
        QVERIFY(three.ok());
        QCOMPARE(notOpenedNote(three.value()),
                 QStringLiteral("\u201cb.png\u201d and \u201cc.png\u201d were not opened: Rasterine opens only the "
                                "first picture named, \u201ca.png\u201d"));
        const Result<StartPictures> refused = read({"a.png", "-x"});
        QVERIFY(!refused.ok());
        QCOMPARE(QString::fromStdString(refused.failure().message()), QStringLiteral("rasterine: unknown option '-x'"));
        const Result<StartPictures> dashed = read({"--", "--help"});
        QVERIFY(dashed.ok());
        QCOMPARE(dashed.value().picture, QStringLiteral("--help"));
        QVERIFY(!helpOrVersion({"rasterine", "--", "--help"}));
    }

    // Answered before Qt starts: no display is needed, and nothing is
    // opened or written.
    void helpAndVersionNeedNoDisplay()
    {
        ScratchWorkingFolder folder;
        for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const WindowRun help = runWindow(folder.path(), {option, QStringLiteral("picture.png")});
            QCOMPARE(help.exitCode, 0);
            QVERIFY2(help.out.startsWith(QStringLiteral("Usage: rasterine [PICTURE]\n")), qPrintable(help.out));
            QCOMPARE(help.err, QString());
        }
        for (const QString& option : {QStringLiteral("--version"), QStringLiteral("-v")}) {
            const WindowRun version = runWindow(folder.path(), {option});
            QCOMPARE(version.exitCode, 0);
            QCOMPARE(version.out, QStringLiteral("rasterine %1\n").arg(QLatin1String(kRasterineVersion)));
        }
        const WindowRun unknown = runWindow(folder.path(), {QStringLiteral("--frobnicate")}, QStringLiteral("offscreen"));
        QCOMPARE(unknown.exitCode, 2);
        QVERIFY2(unknown.err.contains(QStringLiteral("rasterine: unknown option '--frobnicate'\n")),
                 qPrintable(unknown.err));
        QCOMPARE(unknown.out, QString());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void openDialogOffersAnyFirstThenPictures()
    {
        const QString filter = openDialogFilter();
        QVERIFY2(filter.startsWith(QStringLiteral("Any (*);;Pictures (")), qPrintable(filter));
        for (const char* type : {"*.png", "*.PNG", "*.jpg", "*.bmp", "*.gif"})
            QVERIFY2(filter.contains(QLatin1String(type)), type);
    }
};

QTEST_MAIN(WindowStartTest)
#include "window_start_test.moc"
