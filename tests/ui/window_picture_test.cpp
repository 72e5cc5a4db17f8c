// A picture's way through the real window: File › "Open..." (only the dialog
// is answered by the test) or a drop, the timer, sampling, conversion and the
// files; and what happens when a picture cannot be read or the files cannot
// be written.
#include "test_pictures.h"
#include "picture/picture_loader.h"
#include "window_test_support.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

#include <csignal>

#include <sys/resource.h>

namespace {

// Sends a drag carrying `urls` onto the window and drops it; whether the
// window took it.
bool dropOnto(QWidget* window, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at(100, 100);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    return drop.isAccepted();
}

}  // namespace

class WindowPictureTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // As the program does, so a file-size limit is a write error.
        std::signal(SIGXFSZ, SIG_IGN);
    }

    void openedPictureIsSampledConvertedAndWritten()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        // Wider and shorter than the canvas, so it is stretched on the way in.
        const QString path = savePng(colourfulScene(500, 200), folder.file("scene.png"));
        test.openThroughMenu(path);

        QCOMPARE(test.dialogsShown, 1);
        QCOMPARE(test.picImage1()->image(), loadPicture(path).value().image);
        QVERIFY(test.Timer1()->isActive());
        QVERIFY(!QFile::exists(folder.file("$.screen")));  // not before the timer fires

        QSignalSpy finished(&test.window, &frmMain::conversionFinished);
        QVERIFY(finished.wait());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.front().front().toBool(), true);
        QVERIFY(!test.Timer1()->isActive());

        const EngineConversion expected = engineConversion(loadPicture(path).value().image, 2, 0, false);
        QVERIFY(samePlanesAndOptions(test.window, *expected.state));
        QCOMPARE(readFile(folder.file("$.screen")), expected.screen);
        QCOMPARE(readFile(folder.file("$.screen.inf")), expected.inf);
        QCOMPARE(test.picImage2()->image(), expected.preview);
        QVERIFY(test.messages.isEmpty());
        QVERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Wrote $.screen and $.screen.inf in ")));
    }

    void cancellingTheDialogChangesNothing()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        const WindowSnapshot before(test);

        test.openThroughMenu(QString());
        QCOMPARE(test.dialogsShown, 2);
        QVERIFY(before.matches(test));
        QVERIFY(test.messages.isEmpty());
    }

    void unreadablePictureIsReportedAndChangesNothing()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        const WindowSnapshot before(test);

        const QString junk = folder.file("junk.png");
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not a picture");
        file.close();
        test.openThroughMenu(junk);

        QCOMPARE(test.messages.size(), 1);
        const UserMessage& message = test.messages.front();
        QCOMPARE(message.severity, UserMessage::Severity::Warning);
        QVERIFY2(message.text.contains(QDir::toNativeSeparators(junk)), qPrintable(message.text));
        QVERIFY2(message.text.contains(QStringLiteral("not a picture")), qPrintable(message.text));
        QVERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Could not open “junk.png”")));
        QVERIFY(before.matches(test));
    }

    void screenFileBlockedByAFolderIsReported()
    {
        ScratchWorkingFolder folder;
        QTemporaryDir pictures;
        const QString path = savePng(colourfulScene(320, 256), pictures.filePath(QStringLiteral("scene.png")));
        WindowUnderTest test;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("$.screen")));
        test.openThroughMenu(path);
        QVERIFY(test.waitForConversion());

        QCOMPARE(test.messages.size(), 1);
        const UserMessage& message = test.messages.front();
        QCOMPARE(message.severity, UserMessage::Severity::Error);
        QVERIFY2(message.text.contains(QStringLiteral("“$.screen”")), qPrintable(message.text));
        QVERIFY2(message.text.contains(QStringLiteral("Is a directory")), qPrintable(message.text));
        QVERIFY(message.text.contains(QDir::toNativeSeparators(folder.path())));
        QVERIFY(!QFile::exists(folder.file("$.screen.inf")));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("$.screen")});  // no temporaries left
        QVERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Nothing written")));
        // The preview still shows the conversion.
        const EngineConversion expected = engineConversion(loadPicture(path).value().image, 2, 0, false);
        QCOMPARE(test.picImage2()->image(), expected.preview);

        // The window carries on once the way is clear.
        QVERIFY(QDir(folder.path()).rmdir(QStringLiteral("$.screen")));
        clickOn(test.cmdConvert());
        QCOMPARE(test.messages.size(), 1);
        QCOMPARE(readFile(folder.file("$.screen")), expected.screen);
    }

    // A "$.screen" that is a symbolic link to a file elsewhere becomes a
    // regular file; the file it pointed at keeps its content.
    void symbolicLinkIsReplacedNotWrittenThrough()
    {
        ScratchWorkingFolder folder;
        QTemporaryDir elsewhere;
        const QString precious = elsewhere.filePath(QStringLiteral("precious"));
        QFile file(precious);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("precious content");
        file.close();
        QVERIFY(QFile::link(precious, folder.file("$.screen")));

        WindowUnderTest test;
        const QString path = savePng(colourfulScene(320, 256), folder.file("scene.png"));
        test.openThroughMenu(path);
        QVERIFY(test.waitForConversion());

        QVERIFY(test.messages.isEmpty());
        QVERIFY(!QFileInfo(folder.file("$.screen")).isSymLink());
        QCOMPARE(readFile(folder.file("$.screen")), engineConversion(loadPicture(path).value().image, 2, 0, false).screen);
        QCOMPARE(readFile(precious), QByteArray("precious content"));
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("precious")});
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    void missingWorkingFolderIsReported()
    {
        ScratchWorkingFolder folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("gone")));
        QDir::setCurrent(folder.file("gone"));
        QVERIFY(QDir(folder.path()).rmdir(QStringLiteral("gone")));
        QTemporaryDir pictures;
        WindowUnderTest test;
        test.openThroughMenu(savePng(colourfulScene(320, 256), pictures.filePath(QStringLiteral("scene.png"))));
        QVERIFY(test.waitForConversion());
        QCOMPARE(test.messages.size(), 1);
        QVERIFY2(test.messages.front().text.contains(QStringLiteral("No such file or directory")),
                 qPrintable(test.messages.front().text));
        QVERIFY2(test.lblStatus()->text().contains(QStringLiteral("no longer exists")),
                 qPrintable(test.lblStatus()->text()));
    }

    // A full disk, here a file-size limit: the earlier files stay byte for
    // byte, while the preview shows the conversion that could not be saved.
    void failedWriteKeepsEarlierFiles()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        const QByteArray screen = readFile(folder.file("$.screen"));
        const QByteArray inf = readFile(folder.file("$.screen.inf"));

        clickOn(test.toneButton(1));  // "Fine"
        rlimit previous{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
        rlimit small = previous;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        clickOn(test.cmdConvert());
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &previous), 0);

        QCOMPARE(test.messages.size(), 1);
        QVERIFY2(test.messages.front().text.contains(QStringLiteral("File too large")),
                 qPrintable(test.messages.front().text));
        QCOMPARE(readFile(folder.file("$.screen")), screen);
        QCOMPARE(readFile(folder.file("$.screen.inf")), inf);
        const EngineConversion fine = engineConversion(test.picImage1()->image(), 2, 1, false);
        QCOMPARE(test.picImage2()->image(), fine.preview);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);  // no leftovers
    }

    void reopeningWhileArmedSamplesOnlyTheLastPicture()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        QSignalSpy finished(&test.window, &frmMain::conversionFinished);
        test.openThroughMenu(savePng(plainPicture(64, 64, Qt::red), folder.file("red.png")));
        test.openThroughMenu(savePng(plainPicture(64, 64, Qt::blue), folder.file("blue.png")));
        QVERIFY(finished.wait());
        // Single-shot and stopped: no second sampling can follow.
        QVERIFY(!test.Timer1()->isActive());
        QCOMPARE(finished.count(), 1);
        const QImage sampled = test.window.controller().sampledPicture()->canvas();
        QCOMPARE(sampled.pixel(319, 255), qRgb(0, 0, 255));
        QCOMPARE(sampled.pixel(0, 0), qRgb(0, 0, 255));
    }

    // "Convert" while a new picture waits for the timer converts the planes
    // it has now; the timer still samples the new picture afterwards.
    void convertWhileArmedConvertsTheCurrentPlanes()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        const QString first = savePng(colourfulScene(320, 256), folder.file("first.png"));
        test.openThroughMenu(first);
        QVERIFY(test.waitForConversion());

        const QString second = savePng(plainPicture(320, 256, Qt::green), folder.file("second.png"));
        test.Timer1()->setInterval(60000);  // stays armed for the length of the test
        test.openThroughMenu(second);
        clickOn(test.cmdConvert());
        QCOMPARE(readFile(folder.file("$.screen")), engineConversion(loadPicture(first).value().image, 2, 0, false).screen);
        QVERIFY(test.Timer1()->isActive());

        test.Timer1()->start(0);
        QVERIFY(test.waitForConversion());
        QCOMPARE(readFile(folder.file("$.screen")), engineConversion(loadPicture(second).value().image, 2, 0, false).screen);
    }

    // Should the message about a failed write ever run an event loop, the
    // window's other work must not run inside that conversion: a Convert
    // pressed meanwhile runs once, after it; Timer1 firing meanwhile samples
    // later; and the picture opened last is the one sampled and converted.
    void nothingConvertsInsideAConversion()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file("first.png")));
        QVERIFY(test.waitForConversion());
        const QString last = savePng(plainPicture(100, 80, QColor(0, 200, 255)), folder.file("last.png"));

        bool insideReport = false;
        int reports = 0;
        int nested = 0;
        QList<bool> finishedWith;
        connect(&test.window, &frmMain::conversionFinished, this, [&](bool written) {
            finishedWith << written;
            nested += insideReport;
        });
        test.window.setMessageReporter([&](QWidget*, const UserMessage&) {
            ++reports;
            insideReport = true;
            QVERIFY(QDir(folder.path()).rmdir(QStringLiteral("$.screen")));
            test.openThroughMenu(last);
            clickOn(test.cmdConvert());
            clickOn(test.cmdConvert());
            QTest::qWait(100);  // Timer1 (20 ms) comes due in here
            insideReport = false;
        });

        QVERIFY(QFile::remove(folder.file("$.screen")));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("$.screen")));
        clickOn(test.cmdConvert());
        QCOMPARE(nested, 0);
        QCOMPARE(finishedWith, QList<bool>{false});

        // Then the Convert pressed inside (once, for both presses), then the
        // timer's sampling of the last picture.
        QTRY_COMPARE(finishedWith.size(), 3);
        QCOMPARE(finishedWith, (QList<bool>{false, true, true}));
        QVERIFY(!test.Timer1()->isActive());
        QTest::qWait(100);
        QCOMPARE(finishedWith.size(), 3);
        QCOMPARE(reports, 1);
        QCOMPARE(nested, 0);
        QCOMPARE(readFile(folder.file("$.screen")),
                 engineConversion(loadPicture(last).value().image, 2, 0, false).screen);
    }

    void droppedPictureIsOpened()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        const QString path = savePng(colourfulScene(320, 256), folder.file("dropped.png"));
        const QString other = savePng(plainPicture(8, 8, Qt::red), folder.file("other.png"));

        QVERIFY(!dropOnto(&test.window, {QUrl::fromLocalFile(path), QUrl::fromLocalFile(other)}));
        QVERIFY(!dropOnto(&test.window, {QUrl(QStringLiteral("https://example.org/a.png"))}));
        QVERIFY(dropOnto(&test.window, {QUrl::fromLocalFile(path)}));
        QVERIFY(test.waitForConversion());
        QCOMPARE(test.dialogsShown, 0);
        QCOMPARE(test.picImage1()->image(), loadPicture(path).value().image);
        QCOMPARE(readFile(folder.file("$.screen")), engineConversion(loadPicture(path).value().image, 2, 0, false).screen);
    }
};

QTEST_MAIN(WindowPictureTest)
#include "window_picture_test.moc"
