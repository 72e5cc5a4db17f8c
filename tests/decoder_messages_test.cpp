#include "picture/decoder_messages.h"
#include "picture/picture_loader.h"
#include "picture_corpus/colour_profiles.h"
#include "picture_corpus/handmade_pictures.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPainter>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

QByteArray photo()
{
    QImage image(320, 256, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    QPainter(&image).fillRect(0, 128, 320, 128, QColor(30, 30, 200));
    return encoded(image, "JPEG", 90);
}

Result<LoadedPicture> loadBytes(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return loadPicture(buffer);
}

Q_LOGGING_CATEGORY(lcTestDecoder, "qt.gui.imageio.jpeg")
Q_LOGGING_CATEGORY(lcTestOther, "rasterine.test")

QStringList forwarded;
void recordingHandler(QtMsgType, const QMessageLogContext&, const QString& message)
{
    forwarded.append(message);
}

}  // namespace

// While a capture is active only its own thread's messages are taken: the
// decoders' for its reports, anything else dropped.
TEST(DecoderMessages, CapturesDecoderWarningsAndForwardsOtherThreadsAndLaterOnes)
{
    forwarded.clear();
    QStringList captured;
    {
        const DecoderMessages capture;
        qCWarning(lcTestDecoder, "Corrupt JPEG data: test");
        qCWarning(lcTestOther, "a remark while decoding");
        std::thread([] { qCWarning(lcTestOther, "another thread"); }).join();
        captured = capture.damage();
    }
    qCWarning(lcTestDecoder, "outside any capture");
    EXPECT_EQ(captured, QStringList{"Corrupt JPEG data: test"});
    EXPECT_EQ(forwarded, (QStringList{"another thread", "outside any capture"}));
}

// libpng's warning about a known incorrect sRGB profile reaches the message
// handler when Qt decodes such a PNG; loaded as a picture, it is dropped.
TEST(DecoderMessages, HarmlessDecoderRemarksAreDropped)
{
    const QByteArray png = withKnownIncorrectSrgbProfile(encoded(QImage(32, 32, QImage::Format_RGB32), "PNG"));
    forwarded.clear();
    EXPECT_FALSE(QImage::fromData(png).isNull());
    EXPECT_TRUE(forwarded.join('\n').contains("known incorrect sRGB profile")) << forwarded.join('\n').toStdString();
    forwarded.clear();
    EXPECT_TRUE(loadBytes(png).ok());
    EXPECT_EQ(forwarded, QStringList());
}

TEST(DecoderMessages, TruncatedJpegIsRefusedWithTheDecodersWords)
{
    const QByteArray whole = photo();
    const Result<LoadedPicture> picture = loadBytes(whole.left(whole.size() / 2));
    ASSERT_FALSE(picture.ok());
    const QString reason = failureReason(picture.failure());
    EXPECT_TRUE(reason.startsWith("the picture is damaged: ")) << reason.toStdString();
    EXPECT_TRUE(reason.contains("premature end", Qt::CaseInsensitive)) << reason.toStdString();
    EXPECT_TRUE(loadBytes(photo()).ok());
}

TEST(DecoderMessages, ParallelLoadsSeeOnlyTheirOwnDamage)
{
    const QByteArray whole = photo();
    const QByteArray cut = whole.left(whole.size() / 2);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i) {
                const bool damaged = (i + t) % 2 == 0;
                if (loadBytes(damaged ? cut : whole).ok() == damaged)
                    ++wrong;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

// The recording handler goes in first, before the decoder capture installs
// itself over it, whichever tests run.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(recordingHandler);
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
