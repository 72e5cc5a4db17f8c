// File › "Export Slideshow Disc..." in the real window: the pictures chosen
// are converted with the options on show, as one picture opened in the
// window is, and go onto slideshow discs written all or none. "Stop" and a
// picture that cannot be read write nothing; VideoNuLA colours go onto the
// slideshow.
#include "conversion/option_catalogue.h"
#include "tests/engine_steps.h"
#include "outputs/compression/zx02.h"
#include "test_pictures.h"
#include "window_test_support.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

#include <optional>

namespace {

// What the dialogs of one export answer, and what they were asked.
struct SlideshowAnswers {
    SlideshowAnswers(QStringList chosen, QString disc, std::optional<DiscOptions> discOptions = DiscOptions{})
        : pictures(std::move(chosen)), file(std::move(disc)), options(std::move(discOptions))
    {
    }

    QStringList pictures;
    QString file;
    std::optional<DiscOptions> options = DiscOptions{};
    QList<SaveRequest> saveRequests;
    QList<bool> delayAsked;
    int picturesAsked = 0;

    void install(frmMain& window)
    {
        window.setPicturesChooser([this](QWidget*) {
            ++picturesAsked;
            return pictures;
        });
        window.setSaveChooser([this](QWidget*, const SaveRequest& request) {
            saveRequests << request;
            return file;
        });
        window.setDiscOptionsChooser([this](QWidget*, const DiscOptions&, bool askDelay) {
            delayAsked << askDelay;
            return options;
        });
    }
};

// Noise at the screen's own size: a screen ZX02 cannot make smaller.
QImage noisePicture(quint32 seed)
{
    QRandomGenerator random(seed);
    QImage picture(320, 256, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, random.generate() | 0xFF000000u);
    return picture;
}

// A picture's screen as the slideshow disc holds it: *RUN files (load and
// exec addresses differ) are packed, the stream followed by four bytes.
QByteArray unpacked(const QByteArray& file)
{
    const auto* stream = reinterpret_cast<const std::uint8_t*>(file.constData());
    const auto bytes = zx02Decompress(std::span(stream, std::size_t(file.size() - 4)), 0x5000);
    return bytes ? QByteArray(reinterpret_cast<const char*>(bytes->data()), qsizetype(bytes->size())) : QByteArray();
}

int methodIndex(Method method)
{
    return int(std::find(kAllMethods.begin(), kAllMethods.end(), method) - kAllMethods.begin());
}

}  // namespace

class WindowSlideshowTest : public QObject {
    Q_OBJECT
private slots:
    // Three pictures in mode 1 onto one .ssd: each on the catalogue under
    // its name, holding the screen the window makes of it alone; the loader
    // waits the delay chosen; the status line counts pictures and discs.
    void putsThePicturesOnADiscAndSaysSo()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        SlideshowAnswers answers({savePng(colourfulScene(200, 150), folder.file("sunset.png")),
                                  savePng(plainPicture(64, 64, Qt::red), folder.file("red.png")),
                                  savePng(colourfulScene(90, 120), folder.file("tall.png"))},
                                 folder.file("show"), DiscOptions{80, QStringLiteral("IGNORED"), 5});
        answers.install(test.window);
        QSignalSpy finished(&test.window, &frmMain::slideshowFinished);
        clickOn(test.modeButton(1));

        test.menuItem("mnuFileExportSlideshow")->trigger();
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.front().front().toBool(), true);
        QCOMPARE(answers.delayAsked, QList<bool>{true});
        QCOMPARE(answers.saveRequests.front().startAt, folder.file("slideshow.ssd"));
        QVERIFY(answers.saveRequests.front().filter.contains(QStringLiteral("(*.mmb)")));
        QCOMPARE(test.lblStatus()->text(), QStringLiteral("3 pictures on 1 disc: show.ssd"));
        QVERIFY(test.messages.isEmpty());

        const QByteArray disc = readFile(folder.file("show.ssd"));
        QCOMPARE(disc.size(), 80 * 10 * 256);
        QCOMPARE(disc.left(8) + disc.mid(256, 4), QByteArray("SLIDES 1    "));
        QStringList names;
        for (const DiscEntry& entry : discCatalogue(disc))
            names << entry.name;
        names.sort();
        QCOMPARE(names, QStringList({"$.!BOOT", "$.RED", "$.SUNSET", "$.TALL", "$.UNPACK"}));
        QVERIFY(discFile(disc, QStringLiteral("$.!BOOT")).contains("D%=500"));

        // The window's own conversion of one of them gives the same screen.
        test.openThroughMenu(answers.pictures[0]);
        QVERIFY(test.waitForConversion());
        QCOMPARE(unpacked(discFile(disc, QStringLiteral("$.SUNSET"))), readFile(folder.file("$.screen")));
    }

    // Pictures that do not fit on one disc spill onto FILE-1.ssd, FILE-2.ssd.
    void spillsOntoNumberedDiscs()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        SlideshowAnswers answers({}, folder.file("many.ssd"), DiscOptions{40, {}, 0});
        for (quint32 i = 1; i <= 5; ++i)
            answers.pictures << savePng(noisePicture(i), folder.file(QStringLiteral("noise%1.png").arg(i)));
        answers.install(test.window);
        QSignalSpy finished(&test.window, &frmMain::slideshowFinished);
        clickOn(test.modeButton(1));

        test.menuItem("mnuFileExportSlideshow")->trigger();
        QVERIFY(finished.wait(60000));
        QCOMPARE(test.lblStatus()->text(), QStringLiteral("5 pictures on 2 discs: many-1.ssd, many-2.ssd"));
        QVERIFY(!QFile::exists(folder.file("many.ssd")));
        qsizetype pictures = 0;
        for (const QString& file : {QStringLiteral("many-1.ssd"), QStringLiteral("many-2.ssd")}) {
            const QByteArray disc = readFile(folder.file(file));
            QCOMPARE(disc.size(), 40 * 10 * 256);
            pictures += discCatalogue(disc).size() - 1;  // all but !BOOT
        }
        QCOMPARE(pictures, 5);
    }

    // "Stop" while the first picture is converted with direct binary
    // search: nothing is written, then or later, and the item works again.
    void stoppingWritesNothing()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        SlideshowAnswers answers({savePng(colourfulScene(200, 150), folder.file("a.png")),
                                  savePng(colourfulScene(150, 200), folder.file("b.png"))},
                                 folder.file("stopped.ssd"));
        answers.install(test.window);
        QSignalSpy finished(&test.window, &frmMain::slideshowFinished);
        clickOn(test.modeButton(4));
        test.comboBox("cboMethod")->setCurrentIndex(methodIndex(Method::Dbs));

        QAction* item = test.menuItem("mnuFileExportSlideshow");
        item->trigger();
        QVERIFY(test.cmdStop()->isVisible() && test.prgConvert()->isVisible());
        QVERIFY(!item->isEnabled());
        QTRY_VERIFY(test.lblStatus()->text().startsWith(QStringLiteral("Making the slideshow: converting picture ")));
        QVERIFY(test.lblStatus()->text().contains(QStringLiteral(" of 2, ")));
        test.cmdStop()->click();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.front().front().toBool(), false);
        QCOMPARE(test.lblStatus()->text(), QStringLiteral("Stopped: no slideshow disc was written"));
        QVERIFY(!test.cmdStop()->isVisible());
        QVERIFY(item->isEnabled());
        QTest::qWait(300);
        QVERIFY(!QFile::exists(answers.file));
        QCOMPARE(finished.size(), 1);
        QVERIFY(test.messages.isEmpty());
    }

    // A picture that cannot be read is named, and the disc already there
    // stays as it was.
    void refusalsWriteNothing()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        QFile broken(folder.file("broken.png"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("not a picture") > 0);
        broken.close();
        SlideshowAnswers answers({savePng(plainPicture(64, 64, Qt::blue), folder.file("blue.png")), broken.fileName(),
                                  savePng(plainPicture(64, 64, Qt::green), folder.file("green.png"))},
                                 folder.file("old.ssd"));
        QFile old(answers.file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("the disc before") > 0);
        old.close();
        answers.install(test.window);
        QSignalSpy finished(&test.window, &frmMain::slideshowFinished);

        test.menuItem("mnuFileExportSlideshow")->trigger();
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.front().front().toBool(), false);
        QCOMPARE(readFile(answers.file), QByteArray("the disc before"));
        QCOMPARE(test.messages.size(), 1);
        QVERIFY2(test.messages.front().text.contains(QDir::toNativeSeparators(broken.fileName())),
                 qPrintable(test.messages.front().text));
        QVERIFY2(test.lblStatus()->text().startsWith(QStringLiteral("No slideshow disc written: ")) &&
                     test.lblStatus()->text().contains(QStringLiteral("broken.png")),
                 qPrintable(test.lblStatus()->text()));
    }

    // With "VideoNuLA colours" ticked the slideshow is made in them: its
    // loader programs NuLA's palette (&FE23).
    void nulaColoursGoOntoTheSlideshow()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        SlideshowAnswers answers({savePng(colourfulScene(200, 150), folder.file("sunset.png")),
                                  savePng(plainPicture(64, 64, Qt::green), folder.file("green.png"))},
                                 folder.file("nula.ssd"));
        answers.install(test.window);
        QSignalSpy finished(&test.window, &frmMain::slideshowFinished);
        test.comboBox("cboMethod")->setCurrentIndex(methodIndex(Method::FloydSteinberg));
        test.window.findChild<QCheckBox*>(QStringLiteral("chkNula"))->setChecked(true);
        test.menuItem("mnuFileExportSlideshow")->trigger();
        QVERIFY(finished.wait(60000) && finished.front().front().toBool());
        QVERIFY(discFile(readFile(answers.file), QStringLiteral("$.!BOOT")).contains("?&FE23="));
    }

    // The save dialog gives a name typed without an extension the one of the
    // type chosen, so .dsd and .mmb can be picked by type as well as by name.
    void theTypeChosenGivesTheExtension()
    {
        const QString dsd = QStringLiteral("Double-sided DFS disc images (*.dsd)");
        QCOMPARE(pathForFilter(QStringLiteral("/discs/show"), dsd), QStringLiteral("/discs/show.dsd"));
        QCOMPARE(pathForFilter(QStringLiteral("/discs/show.mmb"), dsd), QStringLiteral("/discs/show.mmb"));
        QCOMPARE(pathForFilter(QStringLiteral("/discs/show"), QStringLiteral("Any (*)")),
                 QStringLiteral("/discs/show"));
        QCOMPARE(pathForFilter(QString(), dsd), QString());
    }
};

QTEST_MAIN(WindowSlideshowTest)
#include "window_slideshow_test.moc"
