#include "picture/picture_loader.h"
#include "picture/picture_sampling.h"
#include "test_support.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <fstream>
#include <vector>

namespace {

QString save(const QImage& image, const ScratchFolder& folder, const std::string& name,
             const char* format, int quality = -1)
{
    const QString path = QString::fromStdString(folder.file(name));
    QImageWriter writer(path, format);
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return path;
}

// A JPEG of `image` with an EXIF APP1 segment giving `orientation` (1..8).
QByteArray jpegWithOrientation(const QImage& image, int orientation)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    // Big-endian TIFF header with one IFD entry: Orientation (0x0112), SHORT, 1 value.
    const unsigned char exif[] = {
        0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,
        'M', 'M', 0x00, 0x2A, 0x00, 0x00, 0x00, 0x08,
        0x00, 0x01,
        0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, static_cast<unsigned char>(orientation), 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00,
    };
    jpeg.insert(2, reinterpret_cast<const char*>(exif), sizeof exif);
    return jpeg;
}

QRgb at(const Result<LoadedPicture>& picture, int x, int y)
{
    return picture.value().image.pixel(x, y);
}

}  // namespace

TEST(PictureLoader, StretchesToTheCanvasWithoutKeepingTheAspectRatio)
{
    ScratchFolder folder;
    QImage wide(640, 256, QImage::Format_RGB32);
    wide.fill(Qt::black);
    QPainter(&wide).fillRect(0, 0, 320, 256, Qt::red);  // left half red
    const auto picture = loadPicture(save(wide, folder, "wide.png", "PNG"));
    ASSERT_TRUE(picture.ok()) << failureReason(picture.failure()).toStdString();
    EXPECT_EQ(picture.value().image.size(), QSize(320, 256));
    EXPECT_EQ(picture.value().image.format(), QImage::Format_RGB32);
    EXPECT_EQ(at(picture, 10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(at(picture, 300, 250), qRgb(0, 0, 0));

    QImage small(160, 128, QImage::Format_RGB32);
    small.fill(QColor(10, 200, 30));
    const auto enlarged = loadPicture(save(small, folder, "small.png", "PNG"));
    ASSERT_TRUE(enlarged.ok());
    EXPECT_EQ(at(enlarged, 0, 0), qRgb(10, 200, 30));
    EXPECT_EQ(at(enlarged, 319, 255), qRgb(10, 200, 30));
}

TEST(PictureLoader, ShrinkingAveragesFinePatterns)
{
    ScratchFolder folder;
    QImage checker(640, 512, QImage::Format_RGB32);
    for (int y = 0; y < checker.height(); ++y)
        for (int x = 0; x < checker.width(); ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const auto picture = loadPicture(save(checker, folder, "checker.png", "PNG"));
    ASSERT_TRUE(picture.ok());
    for (int y = 0; y < 256; y += 5)
        for (int x = 0; x < 320; x += 7) {
            const int grey = qRed(at(picture, x, y));
            ASSERT_GE(grey, 120) << x << "," << y;
            ASSERT_LE(grey, 135) << x << "," << y;
        }
}

TEST(PictureLoader, LargeJpegIsDecodedAtReducedSize)
{
    ScratchFolder folder;
    QImage photo(5000, 4000, QImage::Format_RGB32);
    photo.fill(QColor(200, 100, 50));
    QPainter(&photo).fillRect(2500, 0, 2500, 4000, QColor(20, 40, 220));
    const auto picture = loadPicture(save(photo, folder, "photo.jpg", "JPEG", 90));
    ASSERT_TRUE(picture.ok()) << failureReason(picture.failure()).toStdString();
    EXPECT_EQ(picture.value().image.size(), QSize(320, 256));
    const QColor left(at(picture, 40, 128)), right(at(picture, 280, 128));
    EXPECT_NEAR(left.red(), 200, 4);
    EXPECT_NEAR(left.blue(), 50, 4);
    EXPECT_NEAR(right.blue(), 220, 4);
}

// One opening gives the canvas exactly as PictureDetail::Screen and the
// source exactly as PictureDetail::Display, whether the two come from one
// decode (a PNG, a small JPEG) or the source needs a JPEG reduction of its
// own (the larger ones, one of them turned by its EXIF orientation), made
// from the bytes handed back.
TEST(PictureLoader, ScreenAndDisplayAtOnceMatchEachOnItsOwn)
{
    ScratchFolder folder;
    QImage scene(2900, 1900, QImage::Format_RGB32);
    QPainter painter(&scene);
    for (int band = 0; band < 29; ++band)
        painter.fillRect(band * 100, 0, 100, 1900, QColor::fromHsv(band * 12, 200, 90 + band * 5));
    painter.end();
    std::vector<QString> paths{save(scene.scaled(700, 500), folder, "scene.png", "PNG"),
                               save(scene.scaled(400, 300), folder, "small.jpg", "JPEG", 90),
                               save(scene.scaled(1400, 900), folder, "wide.jpg", "JPEG", 90),
                               save(scene, folder, "large.jpg", "JPEG", 90)};
    const QString turned = QString::fromStdString(folder.file("turned.jpg"));
    QFile file(turned);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(jpegWithOrientation(scene.scaled(1400, 2600), 6));
    file.close();
    paths.push_back(turned);
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        const auto both = loadPicture(path, PictureDetail::ScreenAndDisplay);
        const auto screen = loadPicture(path, PictureDetail::Screen);
        const auto display = loadPicture(path, PictureDetail::Display);
        ASSERT_TRUE(both.ok() && screen.ok() && display.ok());
        EXPECT_TRUE(both.value().image == screen.value().image);
        QImage source = both.value().source;
        if (source.isNull()) {
            QByteArray bytes = both.value().encoded;
            QBuffer buffer(&bytes);
            ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
            const auto later = loadPicture(buffer, PictureDetail::Display);
            ASSERT_TRUE(later.ok());
            source = later.value().source;
        } else {
            EXPECT_TRUE(both.value().encoded.isEmpty());
        }
        EXPECT_TRUE(source == display.value().source);
        EXPECT_FALSE(source.isNull());
    }
}

TEST(PictureLoader, HonoursExifOrientation)
{
    ScratchFolder folder;
    QImage tall(64, 128, QImage::Format_RGB32);  // top half red, bottom half blue
    tall.fill(Qt::blue);
    QPainter(&tall).fillRect(0, 0, 64, 64, Qt::red);
    // Orientation 6: the stored picture must be turned 90 degrees clockwise,
    // which puts its top (red) on the right.
    const QByteArray jpeg = jpegWithOrientation(tall, 6);
    const std::string path = folder.file("turned.jpg");
    std::ofstream(path, std::ios::binary).write(jpeg.constData(), jpeg.size());
    const auto picture = loadPicture(QString::fromStdString(path));
    ASSERT_TRUE(picture.ok()) << failureReason(picture.failure()).toStdString();
    EXPECT_GT(qRed(at(picture, 300, 128)), 200);
    EXPECT_GT(qBlue(at(picture, 20, 128)), 200);
}

TEST(PictureLoader, TransparentPixelsAreLaidOverWhite)
{
    ScratchFolder folder;
    QImage clear(320, 256, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    clear.setPixel(0, 0, qRgba(255, 0, 0, 255));
    clear.setPixel(1, 0, qRgba(0, 0, 0, 128));
    const auto picture = loadPicture(save(clear, folder, "clear.png", "PNG"));
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(at(picture, 100, 100), qRgb(255, 255, 255));
    EXPECT_EQ(at(picture, 0, 0), qRgb(255, 0, 0));
    EXPECT_NEAR(qRed(at(picture, 1, 0)), 127, 1);
}

TEST(PictureLoader, DecidesTheFormatByContent)
{
    ScratchFolder folder;
    QImage green(320, 256, QImage::Format_RGB32);
    green.fill(Qt::green);
    const QString png = save(green, folder, "really-a-png.jpg", "PNG");
    const auto picture = loadPicture(png);
    ASSERT_TRUE(picture.ok()) << failureReason(picture.failure()).toStdString();
    EXPECT_EQ(at(picture, 5, 5), qRgb(0, 255, 0));
}

// Formats known by their first bytes go straight to their reader; others
// (here PPM) are still found by asking every reader. Names never decide.
TEST(PictureLoader, ReadsEachFormatByContentWhateverItsName)
{
    ScratchFolder folder;
    QImage orange(320, 256, QImage::Format_RGB32);
    orange.fill(QColor(255, 128, 0));
    for (const char* format : {"png", "jpeg", "bmp", "tiff", "webp", "ppm"}) {
        SCOPED_TRACE(format);
        const QString path = save(orange, folder, std::string("picture-") + format + ".gif", format, 100);
        const auto picture = loadPicture(path);
        ASSERT_TRUE(picture.ok()) << failureReason(picture.failure()).toStdString();
        const QColor pixel(at(picture, 160, 128));
        EXPECT_NEAR(pixel.red(), 255, 3);
        EXPECT_NEAR(pixel.green(), 128, 3);
        EXPECT_NEAR(pixel.blue(), 0, 3);
    }
}

TEST(PictureLoader, ExplainsWhatCannotBeOpened)
{
    ScratchFolder folder;
    writeText(folder.file("notes.png"), "this is text, not a picture");
    writeText(folder.file("empty.jpg"), "");
    const auto text = loadPicture(QString::fromStdString(folder.file("notes.png")));
    EXPECT_FALSE(text.ok());
    EXPECT_EQ(failureReason(text.failure()), "it is not a picture Rasterine can read");
    EXPECT_FALSE(loadPicture(QString::fromStdString(folder.file("empty.jpg"))).ok());
    const std::string missing = folder.file("missing.png");
    EXPECT_EQ(loadPicture(QString::fromStdString(missing)).failure(),
              (Failure{missing, "the file does not exist"}));
    EXPECT_EQ(failureReason(loadPicture(QString::fromStdString(folder.path().string())).failure()),
              "it is a folder, not a picture");
}

// A BMP stored top down hides its size from Qt's reader. One of a few
// hundred bytes claiming 16 x 16777204 true-colour pixels must be refused
// from its header, before 1 GB is set aside and filled for pixels it does
// not have.
TEST(PictureLoader, RefusesAHugeTopDownBmpBeforeMakingRoomForIt)
{
    QImage picture(16, 12, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray bmp;
    QBuffer written(&bmp);
    ASSERT_TRUE(written.open(QIODevice::WriteOnly) && QImageWriter(&written, "bmp").write(picture));
    bmp.replace(22, 4, QByteArray("\x0C\x00\x00\xFF", 4));  // height -16777204
    QBuffer device(&bmp);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    const auto peakKiB = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    };
    const long before = peakKiB();
    const auto loaded = loadPicture(device);
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(failureReason(loaded.failure()), "the picture is 16 × 16777204 pixels, more than Rasterine opens");
    EXPECT_LT(peakKiB() - before, 100 * 1024);
}

TEST(PictureSampling, FillsThePlanesAndLeavesTheSpareEdgeZero)
{
    QImage picture(320, 256, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(319, 255, qRgb(1, 2, 3));
    auto state = startState();
    samplePicture(picture, *state);
    EXPECT_EQ(state->red(0, 0), 255);
    EXPECT_EQ(state->blue(200, 100), 255);
    EXPECT_EQ(state->red(319, 255), 1);
    EXPECT_EQ(state->green(319, 255), 2);
    EXPECT_EQ(state->blue(319, 255), 3);
    EXPECT_EQ(state->red(320, 0), 0);
    EXPECT_EQ(state->green(0, 256), 0);
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
