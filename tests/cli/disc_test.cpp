// --disc through the real binary: a boot disc holding the screen file, a
// slideshow over numbered discs, and refusals that write nothing.
#include "converter_process.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<std::uint8_t> slice(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count)
{
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

}  // namespace

TEST(Disc, BootDiscHoldsTheScreenFileAfterItsBootText)
{
    ScratchFolder folder;
    savePicture(testPicture(), folder.path(), "picture.png", "png");
    for (const int tracks : {40, 80}) {
        const ConverterRun run = runConverter(folder.path(), {"-m", "4", "-o", "screen", "--disc", "boot.ssd", "--no-compress",
                                                              "--tracks", QString::number(tracks), "picture.png"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "");
        const auto disc = readBytes(folder.path() / "boot.ssd");
        ASSERT_EQ(disc.size(), static_cast<std::size_t>(tracks) * 10 * 256);
        EXPECT_EQ(disc[256 + 6] >> 4, 3) << "boot option: *EXEC !BOOT";
        // The catalogue in sectors 0-1, !BOOT in sector 2, the screen from sector 3.
        const auto screen = readBytes(folder.path() / "screen");
        EXPECT_EQ(slice(disc, 3 * 256, screen.size()), screen);
    }
}

TEST(Disc, SlideshowFillsNumberedDiscsAndSaysWhereEachPictureWent)
{
    ScratchFolder folder;
    QStringList arguments{"-m", "1", "--tracks", "40", "--delay", "5", "--disc", "show.ssd", "--no-compress"};
    for (const char* name : {"red-boat", "red_boat", "harbour at night", "IMG_0042", "x"}) {
        savePicture(testPicture(120, 90, static_cast<unsigned>(arguments.size())), folder.path(),
                    std::string(name) + ".png", "png");
        arguments << QString::fromLatin1(name) + QStringLiteral(".png");
    }
    const ConverterRun run = runConverter(folder.path(), arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // Four 20 KiB screens fit on a 40-track disc beside the catalogue and loader.
    EXPECT_EQ(run.out, "red-boat.png: show-1.ssd $.REDBOAT\n"
                       "red_boat.png: show-1.ssd $.REDBOA2\n"
                       "harbour at night.png: show-1.ssd $.HARBOUR\n"
                       "IMG_0042.png: show-1.ssd $.IMG0042\n"
                       "x.png: show-2.ssd $.X\n");
    const auto entries = folder.entries();
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const std::string& e) { return e.ends_with(".ssd"); }), 2);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const std::string& e) { return e.find("screen") != std::string::npos; }), 0)
        << "--disc alone writes no screen files";
}

TEST(Disc, RefusalsNameTheOptionAndWriteNothing)
{
    ScratchFolder folder;
    QStringList tenAlike;
    for (const char* name : {"a-1", "a_1", "a 1", "a+1", "a=1", "a,1", "a@1", "a#1", "a%1", "a~1"}) {
        savePicture(testPicture(40, 30), folder.path(), std::string(name) + ".png", "png");
        tenAlike << QString::fromLatin1(name) + QStringLiteral(".png");
    }
    const auto before = folder.entries();
    const std::vector<std::pair<QStringList, std::string>> refusals{
        {{"--disc", "d.ssd", "--tracks", "60", "a-1.png"}, "--tracks must be 40 or 80"},
        {{"--disc", "d.ssd", "--delay", "328", "a-1.png", "a_1.png"}, "--delay must be 0"},
        {{"--delay", "3", "-d", ".", "a-1.png", "a_1.png"}, "--delay needs --disc"},
        {QStringList{"--disc", "d.ssd"} + tenAlike, "--disc: a~1: more than nine pictures come down to the DFS name A1"},
        {{"--disc", "a_1.png", "a-1.png", "a_1.png"}, "a_1.png would be overwritten by a_1.png"},
    };
    for (const auto& [arguments, message] : refusals) {
        const ConverterRun run = runConverter(folder.path(), arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(folder.entries(), before);
    }
}

// Compressed by default: the same five pictures fit one disc; .dsd and .mmb
// name where each went; --compress writes each screen's ZX02 stream.
TEST(Disc, CompressedDiscsDoubleSidedAndMmbFiles)
{
    ScratchFolder folder;
    QStringList pictures;
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        savePicture(testPicture(120, 90, 3), folder.path(), std::string(name) + ".png", "png");
        pictures << QString::fromLatin1(name) + QStringLiteral(".png");
    }
    const ConverterRun ssd = runConverter(folder.path(), QStringList{"-m", "1", "--tracks", "40", "--disc", "show.ssd"} + pictures);
    ASSERT_EQ(ssd.exitCode, 0) << ssd.err;
    EXPECT_EQ(ssd.out.substr(0, 20), "a.png: show.ssd $.A\n");
    const ConverterRun mmb = runConverter(folder.path(), QStringList{"-m", "1", "--disc", "show.mmb"} + pictures);
    ASSERT_EQ(mmb.exitCode, 0) << mmb.err;
    EXPECT_NE(mmb.out.find("e.png: show.mmb disc 0 $.E\n"), std::string::npos) << mmb.out;
    EXPECT_EQ(readBytes(folder.path() / "show.mmb").size(), 8192u + 204800u);
    const ConverterRun dsd = runConverter(folder.path(), QStringList{"-m", "1", "--disc", "show.dsd"} + pictures);
    ASSERT_EQ(dsd.exitCode, 0) << dsd.err;
    EXPECT_EQ(readBytes(folder.path() / "show.dsd").size(), 2u * 80 * 2560);

    const ConverterRun packed = runConverter(folder.path(), {"-m", "2", "--compress", "-o", "s", "a.png"});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    const auto stream = readBytes(folder.path() / "s.zx02");
    EXPECT_LT(stream.size(), readBytes(folder.path() / "s").size());
    EXPECT_EQ(readBytes(folder.path() / "s.zx02.inf").size(), 32u);  // "$.SCREENZ  " load, exec, length, line end

    const ConverterRun both = runConverter(folder.path(), {"--compress", "--no-compress", "--disc", "x.ssd", "a.png"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_NE(both.err.find("cannot be used together"), std::string::npos);

    // Mode 7's small screen, so that the thorough search is quick too.
    ASSERT_EQ(runConverter(folder.path(), {"-m", "7", "--compress", "-o", "q", "a.png"}).exitCode, 0);
    const ConverterRun thorough = runConverter(folder.path(), {"-m", "7", "--compress", "--thorough", "-o", "t", "a.png"});
    ASSERT_EQ(thorough.exitCode, 0) << thorough.err;
    EXPECT_EQ(readBytes(folder.path() / "t"), readBytes(folder.path() / "q"));
    EXPECT_LE(readBytes(folder.path() / "t.zx02").size(), readBytes(folder.path() / "q.zx02").size());
    const ConverterRun idle = runConverter(folder.path(), {"--thorough", "--disc", "x.ssd", "--no-compress", "a.png"});
    EXPECT_EQ(idle.exitCode, 2);
    EXPECT_NE(idle.err.find("--thorough needs --compress"), std::string::npos) << idle.err;
}
