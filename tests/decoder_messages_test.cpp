#include "picture/decoder_messages.h"
#include "picture/picture_loader.h"
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

// First in this file, which is its own executable: the handler below must be
// in place before the decoder capture installs itself over it.
TEST(DecoderMessages, CapturesDecoderWarningsAndForwardsEverythingElse)
{
    qInstallMessageHandler(recordingHandler);
    QStringList captured;
    {
        const DecoderMessages capture;
        qCWarning(lcTestDecoder, "Corrupt JPEG data: test");
        qCWarning(lcTestOther, "unrelated");
        captured = capture.damage();
    }
    qCWarning(lcTestDecoder, "outside any capture");
    EXPECT_EQ(captured, QStringList{"Corrupt JPEG data: test"});
    EXPECT_EQ(forwarded, (QStringList{"unrelated", "outside any capture"}));
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

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
