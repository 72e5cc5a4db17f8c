// Opens every hostile and odd input through the real window's File › "Open...":
// a refusal is one warning naming the file and the loader's reason, with the
// picture on show, the planes, the timer and the files left as they were (a
// damaged picture among them); a picture is sampled and converted as the
// engine does it in-process. CTest runs each case as its own process under a
// time limit.
#include "picture_corpus/hostile_pictures.h"
#include "test_pictures.h"
#include "picture/picture_loader.h"
#include "window_test_support.h"

#include <QApplication>
#include <QDir>

#include <gtest/gtest.h>

namespace {

class HostileWindow : public ::testing::TestWithParam<PictureCase> {};

std::string text(const QString& s)
{
    return s.toStdString();
}

QStringList entries(const ScratchWorkingFolder& folder)
{
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

TEST_P(HostileWindow, OpenEndsInAConversionOrOneWarning)
{
    const PictureCase& input = GetParam();
    ScratchWorkingFolder folder;
    const QString path = folder.file(input.fileName);
    input.make(path);

    // A picture already on show and converted, for a refusal to keep.
    WindowUnderTest test;
    test.openThroughMenu(savePng(colourfulScene(320, 256), folder.file(QStringLiteral("earlier.png"))));
    ASSERT_TRUE(test.waitForConversion());
    const WindowSnapshot before(test);
    const QStringList filesBefore = entries(folder);

    test.openThroughMenu(path);
    const Result<LoadedPicture> loaded = loadPicture(path);
    if (input.outcome == Outcome::Refused) {
        ASSERT_FALSE(loaded.ok());
        ASSERT_EQ(test.messages.size(), 1);
        const UserMessage& message = test.messages.front();
        EXPECT_EQ(message.severity, UserMessage::Severity::Warning);
        EXPECT_TRUE(message.text.contains(QDir::toNativeSeparators(path))) << text(message.text);
        EXPECT_TRUE(message.text.contains(failureReason(loaded.failure()))) << text(message.text);
        EXPECT_TRUE(before.matches(test)) << "a refused picture changed the window or the files";
        EXPECT_EQ(entries(folder), filesBefore);
        return;
    }

    ASSERT_TRUE(loaded.ok()) << text(failureReason(loaded.failure()));
    EXPECT_TRUE(test.messages.isEmpty()) << text(test.messages.front().text);
    EXPECT_TRUE(test.picImage1()->image() == loaded.value().image);
    ASSERT_TRUE(test.waitForConversion());

    const EngineConversion expected = engineConversion(loaded.value().image, 2, 0, false);
    EXPECT_TRUE(samePlanesAndOptions(test.window, *expected.state));
    EXPECT_EQ(readFile(folder.file(QStringLiteral("$.screen"))), expected.screen);
    EXPECT_EQ(readFile(folder.file(QStringLiteral("$.screen.inf"))), expected.inf);
    EXPECT_TRUE(test.picImage2()->image() == expected.preview) << "the preview differs";
    EXPECT_TRUE(test.messages.isEmpty());

    const QString status = test.lblStatus()->text();
    EXPECT_TRUE(status.startsWith(QStringLiteral("Wrote $.screen and $.screen.inf in "))) << text(status);
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileWindow, ::testing::ValuesIn(hostilePictureCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
