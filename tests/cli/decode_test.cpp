// --decode through the real binary: a screen written by rasterine-convert
// turns back into the very picture --real-preview wrote for it, and inputs
// that are no screen fail without writing anything.
#include "converter_process.h"
#include "test_support.h"

#include "outputs/raster_file.h"
#include "outputs/real_preview.h"
#include "outputs/screen_decoding.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct DecodeCase {
    QStringList convert;  // the conversion's options
    QStringList decode;   // --decode's
};

}  // namespace

TEST(Decode, AScreenFileTurnsBackIntoItsRealPreview)
{
    ScratchFolder folder;
    savePicture(testPicture(), folder.path(), "picture.png", "png");
    const std::vector<DecodeCase> cases{
        {{"-m", "1"}, {"-m", "1"}},
        {{"-m", "5", "--dither", "atkinson", "--palette", "0,1,4,6"}, {"-m", "5", "--palette", "0,1,4,6"}},
        {{"-m", "2", "--dither", "floyd-steinberg", "--nula"}, {"-m", "2"}},
        {{"-m", "0", "--dither", "floyd-steinberg", "--nula", "--raster"}, {"-m", "0"}},  // with FILE.raster
        {{"-m", "7"}, {}},  // 1000 bytes: the mode is settled by the length
    };
    for (const DecodeCase& test : cases) {
        SCOPED_TRACE(test.convert.join(QLatin1Char(' ')).toStdString());
        const ConverterRun made = runConverter(
            folder.path(), test.convert + QStringList{"-o", "shot.screen", "--real-preview", "expected.png", "picture.png"});
        ASSERT_EQ(made.exitCode, 0) << made.err;
        EXPECT_EQ(std::filesystem::exists(folder.path() / "shot.screen.raster"),
                  test.convert.contains(QStringLiteral("--raster")));
        std::filesystem::remove(folder.path() / "decoded.png");
        const ConverterRun decoded = runConverter(
            folder.path(), QStringList{"--decode"} + test.decode + QStringList{"shot.screen", "--real-preview", "decoded.png"});
        ASSERT_EQ(decoded.exitCode, 0) << decoded.err;
        EXPECT_EQ(decoded.err, "");
        const auto png = readBytes(folder.path() / "decoded.png");
        EXPECT_EQ(png, readBytes(folder.path() / "expected.png"));
        // And the same as the engine's own PNG of the screen read back.
        const auto screen = readBytes(folder.path() / "shot.screen");
        const int mode = test.convert[1].toInt();
        ScreenColours colours;
        if (std::filesystem::exists(folder.path() / "shot.screen.nula")) {
            const auto nula = readBytes(folder.path() / "shot.screen.nula");
            colours.nulaRegisters.emplace();
            std::copy(nula.begin(), nula.end(), colours.nulaRegisters->begin());
        }
        if (mode == 5)
            colours.changes = {{0, 0}, {1, 1}, {2, 4}, {3, 6}};
        auto opened = screenFromMemory(mode, screen, colours);
        ASSERT_TRUE(opened.ok());
        if (std::filesystem::exists(folder.path() / "shot.screen.raster")) {
            const auto palettes = readRasterFile(*opened.value().mode, readBytes(folder.path() / "shot.screen.raster"));
            ASSERT_TRUE(palettes.ok());
            opened.value().palettes = palettes.value();
        }
        const auto expected = realPreviewPng(Conversion{Settings{}, opened.value(), {}});
        ASSERT_TRUE(expected.ok());
        EXPECT_EQ(png, expected.value());
    }
}

TEST(Decode, WhatIsNoScreenFailsAndWritesNothing)
{
    ScratchFolder folder;
    savePicture(testPicture(), folder.path(), "picture.png", "png");
    ASSERT_EQ(runConverter(folder.path(), {"-m", "4", "--disc", "boot.ssd", "-o", "s.screen", "picture.png"}).exitCode, 0);
    const struct {
        QStringList arguments;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"--decode", "-m", "4", "boot.ssd", "--real-preview", "out.png"}, 1, "disc image"},
        {{"--decode", "-m", "1", "picture.png", "--real-preview", "out.png"}, 1, "is no screen"},
        {{"--decode", "-m", "1", "s.screen", "--real-preview", "out.png"}, 1, "does not fit mode 1"},
        {{"--decode", "s.screen", "--real-preview", "out.png"}, 1, "say which with -m"},
        {{"--decode", "-m", "4", "missing.screen", "--real-preview", "out.png"}, 1, "no such file"},
        {{"--decode", "-m", "4", "s.screen", "--real-preview", "out.png", "--palette", "1,2,3"}, 1, "mode 4 has 2"},
        {{"--decode", "-m", "4", "s.screen", "--real-preview", "out.png", "--dither", "atkinson"}, 2, "--dither is not read"},
        {{"--decode", "-m", "4", "s.screen"}, 2, "needs --real-preview"},
        {{"--decode", "-m", "4", "s.screen", "picture.png", "--real-preview", "out.png"}, 2, "one screen file"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.arguments.join(QLatin1Char(' ')).toStdString());
        const ConverterRun run = runConverter(folder.path(), test.arguments);
        EXPECT_EQ(run.exitCode, test.exitCode) << run.err;
        EXPECT_NE(run.err.find(test.says), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder.path() / "out.png"));
    }
}
