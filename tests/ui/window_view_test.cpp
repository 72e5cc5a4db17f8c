// The View window in the real window: the screen at its real resolution and
// the display's shape at 1x and 2x, fitted to the window, following the main
// window's conversions, and flipping to the source with Fill's part outlined.
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

// Every pixel of `drawn` is the pixel of `screen` it covers, each screen
// pixel `across` x `down` drawn pixels.
bool showsBlocks(const QImage& drawn, const QImage& screen, int across, int down)
{
    if (drawn.size() != QSize(screen.width() * across, screen.height() * down))
        return false;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) != screen.pixel(x / across, y / down))
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

        const QImage drawn = drawnPicture(test);
        QCOMPARE(drawn.size(), QSize(640 * zoom, 512 * zoom));
        const QImage preview = test.picImage2()->image();
        const int screenWidth = 640 / pixelWidth * zoom;
        QImage screen(screenWidth, 256, QImage::Format_RGB32);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < screenWidth; ++x)
                screen.setPixel(x, y, drawn.pixel(x * pixelWidth, y * 2 * zoom));
        QVERIFY(showsBlocks(drawn, screen, pixelWidth, 2 * zoom));
        // Against the preview: the painter shows the right pixel of a pair.
        const int perPreviewColumn = screenWidth / 320;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 320; ++x) {
                const int column = perPreviewColumn > 1 ? x * 2 + 1 : x * screenWidth / 320;
                QCOMPARE(screen.pixel(column, y), preview.pixel(x, y));
            }
    }

    // Mode 7 at the chip's 640 x 500; fitted, the picture keeps that shape
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
            QVERIFY(qAbs(area.width() * 500 - area.height() * 640) <= 640);
        }
        const QImage before = drawnPicture(test);
        test.comboBox("cboFit")->setCurrentIndex(1);  // the whole picture, with bars
        QVERIFY(drawnPicture(test) != before);
    }

    // A 400 x 300 picture is wider than the screen's 1.2 : 1: Fill keeps its
    // middle 360 columns. At 1x the source is drawn 640 x 480 inside the
    // 640 x 512 area, so the outline runs 32 pixels in from either side.
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
            QVERIFY(outlined(source.pixel(32, y)) && outlined(source.pixel(33, y)));
            QCOMPARE(source.pixel(320, y), green);
            QVERIFY(outlined(source.pixel(606, y)) && outlined(source.pixel(607, y)));
            QCOMPARE(source.pixel(630, y), green);
        }

        view->findChild<QPushButton*>(QStringLiteral("cmdSource"))->click();
        QVERIFY(!view->showsSource());
        QCOMPARE(drawnPicture(test).size(), QSize(640, 512));
    }
};

QTEST_MAIN(WindowViewTest)
#include "window_view_test.moc"
