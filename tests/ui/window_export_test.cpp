// File › "Export Disc Image..." and "Save Screen As..." in the real window:
// disabled until a conversion, then writing it where the save dialog (answered
// by the test) says, remembering the folder, and reporting a failed write once.
#include "test_pictures.h"
#include "window_test_support.h"

#include <QDir>
#include <QtTest>

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
        // which follows the catalogue (sectors 0-1) and !BOOT (sector 2).
        QDir(folder.path()).mkdir(QStringLiteral("discs"));
        answer = folder.file("discs/title");
        exportDisc->trigger();
        QCOMPARE(asked.back().startAt, QDir(QDir::currentPath()).filePath(QStringLiteral("picture.ssd")));
        const QByteArray disc = readFile(folder.file("discs/title.ssd"));
        QCOMPARE(disc.size(), 80 * 10 * 256);
        QCOMPARE(disc.mid(3 * 256, screen.size()), screen);
        QCOMPARE(test.lblStatus()->text(),
                 QStringLiteral("Wrote “title.ssd” in %1").arg(QDir::toNativeSeparators(folder.file("discs"))));

        // The next dialog starts in the folder chosen last.
        answer = folder.file("discs/title.scr");
        saveScreen->trigger();
        QCOMPARE(asked.back().startAt, folder.file("discs/$.screen"));
        QCOMPARE(readFile(folder.file("discs/title.scr")), screen);
        QCOMPARE(readFile(folder.file("discs/title.scr.inf")), readFile(folder.file("$.screen.inf")));
        QVERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Wrote “title.scr” and “title.scr.inf” in ")));
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
        QVERIFY(readFile(answer).contains(framed));
        QCOMPARE(readFile(folder.file("$.screen")), screen);
        QVERIFY(test.messages.isEmpty());
    }
};

QTEST_MAIN(WindowExportTest)
#include "window_export_test.moc"
