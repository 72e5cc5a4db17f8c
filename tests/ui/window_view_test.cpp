// The View window in the real window: the screen at its real resolution and
// its shape on a television at 1x and 2x, fitted to the window, following
// the main window's conversions, and flipping to the source with Fill's part
// outlined where the engine crops it.
#include "test_pictures.h"
#include "ui/picture_view.h"
#include "ui/view_window.h"
#include "window_test_support.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

namespace {

PictureView* pictureView(const WindowUnderTest& test)
{
    return test.window.viewWindow()->findChild<PictureView*>(QStringLiteral("picView"));
}

// The part of the view the picture is drawn in, as on screen.
QImage drawnPicture(const WindowUnderTest& test)
{
    QApplication::processEvents();
    PictureView* view = pictureView(test);
    return view->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(view->pictureArea());
}

void openView(WindowUnderTest& test, int zoomIndex)
{
    test.menuItem("mnuViewScreen")->trigger();
    test.window.viewWindow()->findChild<QComboBox*>(QStringLiteral("cboZoom"))->setCurrentIndex(zoomIndex);
}

// The drawn row in the middle of screen line `y`: one that no other line
// mixes into, however many rows a line takes.
int middleRow(const QImage& drawn, int y)
{
    return static_cast<int>((y + 0.5) * drawn.height() / 256);
}

// Along the middle row of every screen line, each pixel of `screen` is
// `across` drawn pixels.
bool showsBlocks(const QImage& drawn, const QImage& screen, int across)
{
    if (drawn.width() != screen.width() * across)
        return false;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, middleRow(drawn, y)) != screen.pixel(x / across, y))
                return false;
    return true;
}

}  // namespace

class WindowViewTest : public QObject {
    Q_OBJECT
private slots:
    // Mode 1's 320 pixels are the preview canvas's own; mode 0's 640 show
    // every right pixel of a pair there, mode 2's 160 each over two columns.
    void showsTheScreenAtItsRealResolutionAndShape_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("zoomIndex");
        QTest::addColumn<int>("pixelWidth");
        QTest::newRow("mode 1 at 1x") << 1 << 0 << 2;
        QTest::newRow("mode 1 at 2x") << 1 << 1 << 4;
        QTest::newRow("mode 0 at 1x") << 0 << 0 << 1;
        QTest::newRow("mode 2 at 2x") << 2 << 1 << 8;
    }
    void showsTheScreenAtItsRealResolutionAndShape()
    {
        QFETCH(int, button);
        QFETCH(int, zoomIndex);
        QFETCH(int, pixelWidth);
        const int zoom = zoomIndex + 1;
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        clickOn(test.modeButton(button));
        test.comboBox("cboMethod")->setCurrentIndex(1);  // error diffusion: pairs of pixels differ
        openView(test, zoomIndex);
        test.openThroughMenu(savePng(colourfulScene(400, 300), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());

        // 15 : 13, the screen's shape on a television.
        const QImage drawn = drawnPicture(test);
        QCOMPARE(drawn.size(), QSize(640 * zoom, 555 * zoom));
        const QImage preview = test.picImage2()->image();
        const int screenWidth = 640 / pixelWidth * zoom;
        QImage screen(screenWidth, 256, QImage::Format_RGB32);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < screenWidth; ++x)
                screen.setPixel(x, y, drawn.pixel(x * pixelWidth, middleRow(drawn, y)));
        QVERIFY(showsBlocks(drawn, screen, pixelWidth));
        // Against the preview: the painter shows the right pixel of a pair.
        const int perPreviewColumn = screenWidth / 320;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 320; ++x) {
                const int column = perPreviewColumn > 1 ? x * 2 + 1 : x * screenWidth / 320;
                QCOMPARE(screen.pixel(column, y), preview.pixel(x, y));
            }
    }

    // Mode 7's 500 lines of the 512, 640 x 542 at 1x; fitted, it keeps that shape
    // and grows and shrinks with the window. A new option is shown at once.
    void fitsModeSevenToTheWindowAndFollowsNewOptions()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        clickOn(test.modeButton(5));
        openView(test, 3);
        test.openThroughMenu(savePng(colourfulScene(400, 300), folder.file("scene.png")));
        QVERIFY(test.waitForConversion());
        ViewWindow* view = test.window.viewWindow();
        for (const QSize& windowSize : {QSize(500, 400), QSize(1400, 1200)}) {
            view->resize(windowSize);
            QApplication::processEvents();
            const QRect area = pictureView(test)->pictureArea();
            QVERIFY(area.width() <= pictureView(test)->width() && area.height() <= pictureView(test)->height());
            QVERIFY(qAbs(area.width() * 542 - area.height() * 640) <= 640);
        }
        const QImage before = drawnPicture(test);
        test.comboBox("cboFit")->setCurrentIndex(1);  // the whole picture, with bars
        QVERIFY(drawnPicture(test) != before);
    }

    // A 400 x 300 picture is wider than the screen's 15 : 13: Fill keeps its
    // middle 346 columns. At 1x the source is drawn 640 x 480 inside the
    // 640 x 555 area, so the outline runs 43 pixels in from either side.
    void flipsToTheSourceWithTheFilledPartOutlined()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        clickOn(test.modeButton(1));
        test.comboBox("cboFit")->setCurrentIndex(2);  // Fill
        openView(test, 0);
        const QRgb green = qRgb(0, 200, 0);
        test.openThroughMenu(savePng(plainPicture(400, 300, QColor(green)), folder.file("plain.png")));
        QVERIFY(test.waitForConversion());
        ViewWindow* view = test.window.viewWindow();
        QVERIFY(!view->showsSource());

        QTest::keyClick(view, Qt::Key_Space);
        QVERIFY(view->showsSource());
        const QImage source = drawnPicture(test);
        QCOMPARE(source.size(), QSize(640, 480));
        const auto outlined = [](QRgb pixel) { return pixel == qRgb(255, 255, 255) || pixel == qRgb(0, 0, 0); };
        for (int y : {100, 240, 400}) {
            QCOMPARE(source.pixel(10, y), green);
            QVERIFY(outlined(source.pixel(44, y)));
            QCOMPARE(source.pixel(320, y), green);
            QVERIFY(outlined(source.pixel(596, y)));
            QCOMPARE(source.pixel(630, y), green);
        }

        view->findChild<QPushButton*>(QStringLiteral("cmdSource"))->click();
        QVERIFY(!view->showsSource());
        QCOMPARE(drawnPicture(test).size(), QSize(640, 555));
    }

    // The source shown is the picture as it was opened and converted, not
    // the file read again: changed on disk since, it still shows as it was.
    void showsTheSourceAsConvertedEvenWhenTheFileChanges()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        const QString path = savePng(plainPicture(400, 300, Qt::blue), folder.file("plain.png"));
        test.openThroughMenu(path);
        QVERIFY(test.waitForConversion());
        savePng(plainPicture(400, 300, Qt::red), path);
        openView(test, 0);
        test.window.viewWindow()->flip();
        const QImage source = drawnPicture(test);
        QCOMPARE(source.pixel(source.width() / 2, source.height() / 2), qRgb(0, 0, 255));
    }

    // What Fill's outline marks is what the engine converts: a picture red
    // outside the outline and with thin green bands just inside it gives a
    // screen with no red whose edge columns are green. And the outline has
    // the shape the screen is drawn at.
    void theFillOutlineIsTheCropTheEngineReads()
    {
        ScratchWorkingFolder folder;
        WindowUnderTest test;
        test.comboBox("cboFit")->setCurrentIndex(2);  // Fill
        openView(test, 0);
        test.window.viewWindow()->flip();
        test.openThroughMenu(savePng(plainPicture(1200, 600, Qt::white), folder.file("plain.png")));
        QVERIFY(test.waitForConversion());
        const QRect kept = pictureView(test)->outline();
        QVERIFY(kept.width() < 1200 && kept.height() == 600);

        QImage marked(1200, 600, QImage::Format_RGB32);
        marked.fill(Qt::red);
        const int band = kept.width() / 100;
        for (int y = 0; y < marked.height(); ++y)
            for (int x = kept.left(); x <= kept.right(); ++x)
                marked.setPixel(x, y, x - kept.left() < band || kept.right() - x < band ? qRgb(0, 255, 0)
                                                                                         : qRgb(255, 255, 255));
        test.openThroughMenu(savePng(marked, folder.file("marked.png")));
        QVERIFY(test.waitForConversion());
        QCOMPARE(pictureView(test)->outline(), kept);
        const Screen& screen = test.window.controller().lastConversion()->screen;  // mode 2, classic
        constexpr std::uint8_t kRed = 1, kGreen = 2;
        QVERIFY(std::ranges::find(screen.pixels, kRed) == screen.pixels.end());
        for (int y : {0, 128, 255}) {
            QCOMPARE(screen.at(0, y), kGreen);
            QCOMPARE(screen.at(screen.width() - 1, y), kGreen);
        }

        test.window.viewWindow()->flip();
        const QImage drawn = drawnPicture(test);
        QVERIFY(qAbs(double(kept.width()) / kept.height() - double(drawn.width()) / drawn.height()) < 0.005);
    }
};

QTEST_MAIN(WindowViewTest)
#include "window_view_test.moc"
