// Single-picture conversions by the real binary: file sizes, .inf lines, and
// the same bytes and preview as the window's path.
#include "converter_process.h"
#include "test_support.h"
#include "window_path.h"

#include "conversion/option_catalogue.h"
#include "conversion/screen_modes.h"

#include <gtest/gtest.h>

namespace {

std::string readText(const std::filesystem::path& file)
{
    const auto bytes = readBytes(file);
    return {bytes.begin(), bytes.end()};
}

QImage readPreview(const std::filesystem::path& file)
{
    const QImage image(QString::fromStdString(file.string()));
    EXPECT_EQ(image.size(), QSize(320, 256)) << file;
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(Conversion, EveryModeWritesTheScreenFileAndItsInfLine)
{
    ScratchFolder folder;
    savePicture(testPicture(), folder.path(), "picture.png", "png");
    const struct {
        int mode;
        std::size_t size;
        const char* inf;
    } expected[] = {
        {0, 20480, "$.SCREEN   003000 000000 005000\n"}, {1, 20480, "$.SCREEN   003000 000000 005000\n"},
        {2, 20480, "$.SCREEN   003000 000000 005000\n"}, {4, 10240, "$.SCREEN   005800 000000 002800\n"},
        {5, 10240, "$.SCREEN   005800 000000 002800\n"}, {7, 1000, "$.SCREEN   007C00 000000 0003E8\n"},
    };
    for (const auto& mode : expected) {
        SCOPED_TRACE(mode.mode);
        const ConverterRun run = runConverter(folder.path(), {"-m", QString::number(mode.mode), "picture.png"});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(readBytes(folder.path() / "$.screen").size(), mode.size);
        EXPECT_EQ(readText(folder.path() / "$.screen.inf"), mode.inf);
        EXPECT_EQ(folder.entries(), (std::vector<std::string>{"$.screen", "$.screen.inf", "picture.png"}));
    }

    // Without -m the converter works in mode 2, as the window starts.
    const auto mode5 = readBytes(folder.path() / "$.screen");
    runConverter(folder.path(), {"-m", "2", "picture.png"});
    const auto explicitMode2 = readBytes(folder.path() / "$.screen");
    runConverter(folder.path(), {"picture.png"});
    EXPECT_EQ(readBytes(folder.path() / "$.screen"), explicitMode2);
    EXPECT_NE(mode5, explicitMode2);
}

TEST(Conversion, GivesTheWindowsBytesAndPreviewForEveryOption)
{
    ScratchFolder folder;
    const QString png = savePicture(testPicture(), folder.path(), "picture.png", "png");
    // Large enough for the loader's reduced JPEG decode.
    const QString jpeg = savePicture(testPicture(1301, 1033, 7), folder.path(), "photo.jpg", "jpeg");

    struct Case {
        QString picture;
        int mode;
        Halftone halftone;
        bool stagger;
    };
    std::vector<Case> cases;
    for (const auto& mode : kScreenModes) {
        for (Halftone halftone : {Halftone::None, Halftone::Coarse, Halftone::Diagonal})
            for (bool stagger : {false, true})
                cases.push_back({png, mode.number, halftone, stagger});
        cases.push_back({jpeg, mode.number, Halftone::Spiral, true});
    }
    for (const QString& picture : {png, jpeg})
        cases.push_back({picture, 7, Halftone::None, false});

    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture.toStdString() + " mode " + std::to_string(c.mode) + " " +
                     std::string(halftoneName(c.halftone)) + (c.stagger ? " stagger" : ""));
        // Under the same name, so that the .inf lines name the same file.
        std::filesystem::create_directories(folder.path() / "window");
        const QImage windowPreview = convertAsTheWindowDoes(c.picture, c.mode, c.halftone, c.stagger,
                                                            folder.file("window/cli.screen"));
        QStringList arguments{"-m", QString::number(c.mode), "-o", "cli.screen", "-p", "cli.png", c.picture};
        if (c.halftone != Halftone::None)  // mode 7 takes no half-tone, not even "none"
            arguments << "-t" << QString::fromUtf8(halftoneName(c.halftone).data());
        if (c.stagger)
            arguments.prepend("-s");
        const ConverterRun run = runConverter(folder.path(), arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(readBytes(folder.path() / "cli.screen"), readBytes(folder.path() / "window/cli.screen"));
        EXPECT_EQ(readBytes(folder.path() / "cli.screen.inf"), readBytes(folder.path() / "window/cli.screen.inf"));
        EXPECT_TRUE(readPreview(folder.path() / "cli.png") == windowPreview);
    }
}

TEST(Conversion, NewMethodsRunThroughTheBinaryAndPrintTheirPalette)
{
    ScratchFolder folder;
    const QString png = savePicture(testPicture(), folder.path(), "picture.png", "png");
    const ConverterRun classic = runConverter(folder.path(), {"-m", "1", "-o", "classic.screen", png});
    const ConverterRun diffused = runConverter(
        folder.path(), {"-m", "1", "--dither", "sierra-lite", "--palette", "0,4,6,7", "--fit", "fit", "--bar", "4",
                        "--gamma", "1.2", "--verbose", "-o", "new.screen", "-p", "new.png", png});
    ASSERT_EQ(classic.exitCode, 0) << classic.err;
    ASSERT_EQ(diffused.exitCode, 0) << diffused.err;
    EXPECT_NE(diffused.out.find("VDU 19,1,4;0;19,2,6;0;"), std::string::npos) << diffused.out;
    const auto bytes = readBytes(folder.path() / "new.screen");
    EXPECT_EQ(bytes.size(), 20480u);
    EXPECT_NE(bytes, readBytes(folder.path() / "classic.screen"));
    // The picture is wider than the screen's 1.2 : 1, so "fit" leaves blue
    // bars above and below it.
    const QImage preview = readPreview(folder.path() / "new.png");
    EXPECT_EQ(preview.pixel(160, 0), qRgb(0, 0, 255));
    EXPECT_EQ(preview.pixel(160, 255), qRgb(0, 0, 255));
}

// A preview is the picture's own file made over: it keeps the resolution and
// text entries the picture carried, whatever the method.
TEST(Conversion, PreviewKeepsThePicturesResolutionAndText)
{
    ScratchFolder folder;
    QImage picture = testPicture();
    picture.setDotsPerMeterX(11811);
    picture.setDotsPerMeterY(5906);
    picture.setText("Title", "Harbour at dusk");
    const QString png = savePicture(picture, folder.path(), "picture.png", "png");
    for (const QStringList& method : {QStringList{"-t", "fine"}, QStringList{"--dither", "atkinson"}}) {
        const ConverterRun run = runConverter(folder.path(), QStringList{"-m", "2", "-o", "s", "-p", "p.png", png} + method);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const QImage preview(QString::fromStdString((folder.path() / "p.png").string()));
        EXPECT_EQ(preview.dotsPerMeterX(), 11811) << method.join(' ').toStdString();
        EXPECT_EQ(preview.dotsPerMeterY(), 5906);
        EXPECT_EQ(preview.text("Title"), "Harbour at dusk");
    }
}
