// File › "Export Disc Image..." and "Save Screen As..." in the real window:
// disabled until a conversion, then writing it where the save dialog (answered
// by the test) says, remembering the folder, and reporting a failed write once.
#include "outputs/compression/zx02.h"
#include "test_pictures.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QSpinBox>
#include <QtTest>

namespace {

// The screen a boot disc shows: $.SCREEN as stored, or unpacked when the
// disc holds it compressed (the stream, then four bytes of addresses).
QByteArray screenOnDisc(const QByteArray& disc)
{
    const QByteArray screen = discFile(disc, QStringLiteral("$.SCREEN"));
    if (discFile(disc, QStringLiteral("$.UNPACK")).isEmpty())
        return screen;
    const auto* stream = reinterpret_cast<const std::uint8_t*>(screen.constData());
    const auto unpacked = zx02Decompress(std::span(stream, std::size_t(screen.size() - 4)), 0x5000);
    if (!unpacked)
        return {};
    return QByteArray(reinterpret_cast<const char*>(unpacked->data()), qsizetype(unpacked->size()));
}

}  // namespace

class WindowExportTest : public QObject {
    Q_OBJECT
private slots:
    void exportsTheLastConversionWhereTheUserSays()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        QList<SaveRequest> asked;
        QString answer;
        test.window.setSaveChooser([&](QWidget*, const SaveRequest& request) {
            asked << request;
            return answer;
        });
        QAction* exportDisc = test.menuItem("mnuFileExportDisc");
        QAction* saveScreen = test.menuItem("mnuFileSaveScreenAs");
        QVERIFY(!exportDisc->isEnabled() && !saveScreen->isEnabled());

        test.modeButton(1)->click();  // "Mode 1"
        test.openThroughMenu(savePng(colourfulScene(400, 300), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        QVERIFY(exportDisc->isEnabled() && saveScreen->isEnabled());
        const QByteArray screen = readFile(folder.file("$.screen"));

        // No extension given: the disc gets ".ssd". It boots into the screen,
        // stored compressed beside the routine that unpacks it.
        QDir(folder.path()).mkdir(QStringLiteral("discs"));
        answer = folder.file("discs/title");
        exportDisc->trigger();
        QCOMPARE(asked.back().startAt, QDir(QDir::currentPath()).filePath(QStringLiteral("picture.ssd")));
        const QByteArray disc = readFile(folder.file("discs/title.ssd"));
        QCOMPARE(disc.size(), 80 * 10 * 256);
        QVERIFY(!discFile(disc, QStringLiteral("$.UNPACK")).isEmpty());
        QVERIFY(discFile(disc, QStringLiteral("$.SCREEN")).size() < screen.size());
        QCOMPARE(screenOnDisc(disc), screen);
        QCOMPARE(test.lblStatus()->text(),
                 QStringLiteral("Wrote “title.ssd” in %1").arg(QDir::toNativeSeparators(folder.file("discs"))));

        // The next dialog starts in the folder chosen last. The screen goes
        // by its own name, and an earlier NuLA screen's pair there goes.
        answer = folder.file("discs/title.scr");
        QFile(folder.file("discs/title.scr.nula")).open(QIODevice::WriteOnly);
        QFile(folder.file("discs/title.scr.nula.inf")).open(QIODevice::WriteOnly);
        saveScreen->trigger();
        QCOMPARE(asked.back().startAt, folder.file("discs/$.screen"));
        QCOMPARE(readFile(folder.file("discs/title.scr")), screen);
        QCOMPARE(readFile(folder.file("discs/title.scr.inf")), QByteArray("$.TITLE    003000 000000 005000\n"));
        QCOMPARE(QDir(folder.file("discs")).entryList(QDir::Files),
                 (QStringList{"title.scr", "title.scr.inf", "title.ssd"}));
        QVERIFY2(test.lblStatus()->text().startsWith(QStringLiteral(
                     "Wrote “title.scr” and “title.scr.inf” and removed “title.scr.nula” and “title.scr.nula.inf” in ")),
                 qPrintable(test.lblStatus()->text()));
        QVERIFY(test.messages.isEmpty());

        // A folder that is not there: one message naming the file, nothing written.
        answer = folder.file("missing/title.ssd");
        exportDisc->trigger();
        QCOMPARE(test.messages.size(), 1);
        QVERIFY2(test.messages.front().text.contains(QDir::toNativeSeparators(answer)),
                 qPrintable(test.messages.front().text));
        QVERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Nothing written: could not write ")));
        QVERIFY(!QFile::exists(answer));

        // Cancelling writes nothing and says nothing.
        answer.clear();
        saveScreen->trigger();
        QCOMPARE(test.messages.size(), 1);
    }

    // What is saved is the screen on show: mode 7's 1000 bytes, and after a
    // new picture option its preview, which no file in the working folder holds.
    void savesTheScreenOnShowInModeSevenAndAfterANewOption()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        QString answer;
        test.window.setSaveChooser([&](QWidget*, const SaveRequest&) { return answer; });
        clickOn(test.modeButton(5));  // "Mode 7 (Teletext)"
        test.openThroughMenu(savePng(colourfulScene(400, 300), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        const QByteArray screen = readFile(folder.file("$.screen"));
        QCOMPARE(screen.size(), 1000);
        QCOMPARE(readFile(folder.file("$.screen.inf")), QByteArray("$.SCREEN   007C00 000000 0003E8\n"));

        answer = folder.file("teletext.scr");
        test.menuItem("mnuFileSaveScreenAs")->trigger();
        QCOMPARE(readFile(answer), screen);

        test.comboBox("cboFit")->setCurrentIndex(1);  // the whole picture, with bars
        answer = folder.file("framed.scr");
        test.menuItem("mnuFileSaveScreenAs")->trigger();
        const QByteArray framed = readFile(answer);
        QCOMPARE(framed.size(), 1000);
        QVERIFY(framed != screen);
        answer = folder.file("framed.ssd");
        test.menuItem("mnuFileExportDisc")->trigger();
        QCOMPARE(screenOnDisc(readFile(answer)), framed);
        QCOMPARE(readFile(folder.file("$.screen")), screen);
        QVERIFY(test.messages.isEmpty());
    }

    // The preview PNG is the screen at its real resolution: mode 0's 640
    // pixels (the canvas shows every right one of a pair), mode 7's 640 x 500.
    void savesThePreviewAtTheScreensRealResolution()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        QString answer;
        test.window.setSaveChooser([&](QWidget*, const SaveRequest&) { return answer; });
        QAction* savePreview = test.menuItem("mnuFileSavePreviewAs");
        QVERIFY(!savePreview->isEnabled());
        clickOn(test.modeButton(0));
        test.comboBox("cboMethod")->setCurrentIndex(1);
        test.openThroughMenu(savePng(colourfulScene(400, 300), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());

        answer = folder.file("mode0");  // no extension: ".png" is added
        savePreview->trigger();
        const QImage saved(folder.file("mode0.png"));
        QCOMPARE(saved.size(), QSize(640, 256));
        const QImage preview = test.picImage2()->image();
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 320; ++x)
                QCOMPARE(saved.pixel(2 * x + 1, y), preview.pixel(x, y));
        QCOMPARE(test.lblStatus()->text(),
                 QStringLiteral("Wrote “mode0.png” in %1").arg(QDir::toNativeSeparators(folder.path())));

        clickOn(test.modeButton(5));
        test.cmdConvert()->click();  // quick: converted and written before it returns
        answer = folder.file("teletext.png");
        savePreview->trigger();
        QCOMPARE(QImage(answer).size(), QSize(640, 500));
        QVERIFY(test.messages.isEmpty());
    }

    // The tracks, title and packing chosen after the save dialog make the
    // disc and are offered again next time; cancelling them writes nothing.
    // The thorough packing, slow, runs beside the window: the menu item
    // returns at once and the disc follows.
    void makesTheDiscWithTheOptionsChosen()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        test.window.setSaveChooser([&](QWidget*, const SaveRequest&) { return folder.file("small.ssd"); });
        QList<DiscOptions> offered;
        std::optional<DiscOptions> answer = DiscOptions{40, QStringLiteral("MY PICTURE"), 0, true};
        test.window.setDiscOptionsChooser([&](QWidget*, const DiscOptions& start, bool askDelay) {
            offered << start;
            return askDelay ? std::nullopt : answer;
        });
        test.openThroughMenu(savePng(colourfulScene(400, 300), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        clickOn(test.modeButton(5));  // mode 7, whose small screen the thorough search packs quickly
        test.cmdConvert()->click();

        test.menuItem("mnuFileExportDisc")->trigger();
        QVERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Packing the screen for \u201csmall.ssd\u201d")));
        QTRY_VERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Wrote \u201csmall.ssd\u201d")));
        const QByteArray disc = readFile(folder.file("small.ssd"));
        QCOMPARE(disc.size(), 40 * 10 * 256);
        QCOMPARE(disc.left(8) + disc.mid(256, 4), QByteArray("MY PICTURE  "));
        QCOMPARE(offered.front(), DiscOptions{});

        answer.reset();
        QFile::remove(folder.file("small.ssd"));
        test.menuItem("mnuFileExportDisc")->trigger();
        QCOMPARE(offered.back(), (DiscOptions{40, QStringLiteral("MY PICTURE"), 0, true}));
        QVERIFY(!QFile::exists(folder.file("small.ssd")));
        QVERIFY(test.messages.isEmpty());
    }

    // A failed write is reported once; an export cancelled after it says
    // so, and the failure no longer shows as if it were the latest.
    void aCancelledExportReplacesAnEarlierFailure()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        QString answer = folder.file("missing/picture.ssd");
        test.window.setSaveChooser([&](QWidget*, const SaveRequest&) { return answer; });
        test.window.setDiscOptionsChooser([](QWidget*, const DiscOptions& start, bool) { return start; });
        test.openThroughMenu(savePng(colourfulScene(400, 300), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());

        for (const char* item : {"mnuFileExportDisc", "mnuFileSaveScreenAs", "mnuFileSavePreviewAs"}) {
            answer = folder.file("missing/picture.ssd");
            test.menuItem(item)->trigger();
            QVERIFY(test.lblStatus()->text().contains(QStringLiteral("could not write")));
            answer.clear();  // the save dialog cancelled
            test.menuItem(item)->trigger();
            const QString status = test.lblStatus()->text();
            QVERIFY2(!status.contains(QStringLiteral("could not write")), qPrintable(status));
            QVERIFY2(status.contains(QStringLiteral("cancelled: nothing written")), qPrintable(status));
        }
        QCOMPARE(test.messages.size(), 3);  // one for each failure, none for a cancel
    }

    // The dialog itself: what is picked comes back; a title keeps to what
    // DFS holds (12 characters, no quotes); the delay is there only when
    // asked, for a slideshow, whose discs keep their numbered titles.
    void discOptionsDialogGivesWhatIsPicked()
    {
        for (const bool askDelay : {false, true}) {
            bool delayShown = false;
            bool titleReadOnly = false;
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                dialog->findChild<QComboBox*>(QStringLiteral("cboTracks"))->setCurrentIndex(0);
                auto* title = dialog->findChild<QLineEdit*>(QStringLiteral("txtTitle"));
                titleReadOnly = title->isReadOnly();
                title->clear();
                QTest::keyClicks(title, QStringLiteral("A \"LONG\" TITLE HERE"));
                auto* delay = dialog->findChild<QSpinBox*>(QStringLiteral("spnDelay"));
                delayShown = delay != nullptr;
                if (delay)
                    delay->setValue(5);
                dialog->findChild<QCheckBox*>(QStringLiteral("chkThorough"))->setChecked(true);
                dialog->accept();
            });
            const std::optional<DiscOptions> picked = chooseDiscOptions(nullptr, DiscOptions{}, askDelay);
            QVERIFY(picked.has_value());
            QCOMPARE(delayShown, askDelay);
            QCOMPARE(titleReadOnly, askDelay);
            QCOMPARE(*picked, (DiscOptions{40, askDelay ? DiscOptions{}.title : QStringLiteral("A LONG TITLE"),
                                           askDelay ? 5 : 0, true}));
        }
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        QVERIFY(!chooseDiscOptions(nullptr, DiscOptions{}, false));
    }
};

QTEST_MAIN(WindowExportTest)
#include "window_export_test.moc"
