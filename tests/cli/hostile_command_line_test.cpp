// Runs every hostile and odd input through the real rasterine-convert binary:
// a refusal (a damaged picture among them) is reported on standard error with
// the picture's name and the loader's reason, exits 1 and leaves an earlier
// screen as it was; a picture converts to the same bytes and preview as the
// window's in-process path, with nothing on standard error.
// CTest runs each case as its own process under a time limit.
#include "converter_process.h"
#include "picture_corpus/hostile_pictures.h"
#include "test_support.h"
#include "window_path.h"

#include "picture/picture_loader.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

// Longer than any case takes, even in the sanitizer build; a run past it hangs.
constexpr int kHangAfterMs = 100'000;

class HostileCommandLine : public ::testing::TestWithParam<PictureCase> {};

std::string text(const QString& s)
{
    return s.toStdString();
}

QImage readPreview(const std::filesystem::path& file)
{
    return QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_RGB32);
}

TEST_P(HostileCommandLine, RefusesWithTheReasonOrConvertsAsTheWindowDoes)
{
    const PictureCase& input = GetParam();
    ScratchFolder folder;
    const std::string picture = folder.file(input.fileName.toStdString());
    input.make(QString::fromStdString(picture));
    const std::string earlier(20480, 'U');  // a screen from before, for a refusal to keep
    writeText(folder.path() / "$.screen", earlier);
    const auto before = folder.entries();

    RunConditions bounded;
    bounded.hangAfterMs = kHangAfterMs;
    const ConverterRun run =
        runConverter(folder.path(), {"-p", "preview.png", QString::fromStdString(picture)}, bounded);
    ASSERT_FALSE(run.crashed) << run.err;
    EXPECT_EQ(run.out, "");

    const Result<LoadedPicture> loaded = loadPicture(QString::fromStdString(picture));
    const std::string named = "rasterine-convert: " + picture + ": ";
    if (input.outcome == Outcome::Refused) {
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, named + text(failureReason(loaded.failure())) + "\n");
        EXPECT_EQ(folder.entries(), before) << "written or left behind after a refusal";
        EXPECT_EQ(readBytes(folder.path() / "$.screen"), std::vector<std::uint8_t>(earlier.begin(), earlier.end()));
        return;
    }

    ASSERT_TRUE(loaded.ok()) << text(failureReason(loaded.failure()));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");

    ScratchFolder reference;
    const std::string screen = reference.file("$.screen");
    const QImage preview = convertAsTheWindowDoes(QString::fromStdString(picture), 2, Halftone::None, false, screen);
    EXPECT_EQ(readBytes(folder.path() / "$.screen"), readBytes(screen));
    EXPECT_EQ(readBytes(folder.path() / "$.screen.inf"), readBytes(screen + ".inf"));
    EXPECT_TRUE(readPreview(folder.path() / "preview.png") == preview) << "the preview differs";

    auto expected = before;
    expected.insert(expected.end(), {"$.screen.inf", "preview.png"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.entries(), expected);
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileCommandLine, ::testing::ValuesIn(hostilePictureCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace

// Painting the corpus and reading SVG in this process want a GUI application,
// as in the picture-path test; the converter it starts has no display setting.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
