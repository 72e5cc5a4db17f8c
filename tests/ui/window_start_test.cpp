// Starting the window with a picture named on the command line, as a
// desktop's "Open With" does, and the open dialog's types.
#include "test_pictures.h"
#include "ui/start_picture.h"
#include "window_test_support.h"

#include <QDir>
#include <QtTest>

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
        openStartPicture(test.window, {QStringLiteral("rasterine"), QStringLiteral("scene.png")});
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
        openStartPicture(test.window, {QStringLiteral("rasterine")});
        QVERIFY(!test.Timer1()->isActive());
        QVERIFY(!QFile::exists(folder.file("$.screen")));
        QVERIFY(test.messages.isEmpty());

        openStartPicture(test.window, {QStringLiteral("rasterine"), QStringLiteral("missing.png")});
        QCOMPARE(test.messages.size(), 1);
        QVERIFY2(test.messages.front().text.contains(QDir::toNativeSeparators(folder.file("missing.png"))),
                 qPrintable(test.messages.front().text));
        QVERIFY(!test.Timer1()->isActive());
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
