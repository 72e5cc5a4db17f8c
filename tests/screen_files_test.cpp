#include "conversion/classic/conversion_pass.h"
#include "conversion/screen_modes.h"
#include "outputs/side_file.h"
#include "conversion/screen_layout.h"
#include "outputs/screen_files.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

namespace fs = std::filesystem;

TEST(InfLine, NamesTheScreenAtItsLoadAddress)
{
    for (int mode : {0, 1, 2}) {
        EXPECT_EQ(screenInfLine(mode), "$.SCREEN   003000 000000 005000");
    }
    for (int mode : {4, 5}) {
        EXPECT_EQ(screenInfLine(mode), "$.SCREEN   005800 000000 002800");
    }
    EXPECT_EQ(screenInfLine(2).size(), 31u);
    EXPECT_EQ(infFileName("pictures/$.screen"), "pictures/$.screen.inf");
}

TEST(ScreenFiles, SizesAndSideFileForEveryMode)
{
    ScratchFolder folder;
    auto state = startState();
    fillRandomPlanes(*state, 5);
    const std::string screen = folder.file("$.screen");
    for (int mode : {0, 1, 2, 4, 5}) {
        state->curmode = mode;
        BufferSurface preview(kPictureWidth, kPictureHeight);
        ASSERT_FALSE(convertAndWrite(*state, preview, screen));
        const auto bytes = readBytes(screen);
        EXPECT_EQ(bytes.size(), mode <= 2 ? 20480u : 10240u) << "mode " << mode;
        const auto inf = readBytes(infFileName(screen));
        const std::string text(inf.begin(), inf.end());
        EXPECT_EQ(text, screenInfLine(mode) + "\n");
        // The length field matches the file.
        EXPECT_EQ(std::stoul(text.substr(25, 6), nullptr, 16), bytes.size());
    }
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"$.screen", "$.screen.inf"}));
}

TEST(ScreenFiles, ConvertingTwiceGivesIdenticalFiles)
{
    ScratchFolder folder;
    auto state = startState();
    fillRandomPlanes(*state, 11);
    state->htone = static_cast<int>(Halftone::Diagonal);
    state->stagger = true;
    BufferSurface preview(kPictureWidth, kPictureHeight);
    ASSERT_FALSE(convertAndWrite(*state, preview, folder.file("$.screen")));
    const auto first = readBytes(folder.file("$.screen"));
    ASSERT_FALSE(convertAndWrite(*state, preview, folder.file("$.screen")));
    EXPECT_EQ(readBytes(folder.file("$.screen")), first);
}

TEST(ScreenFiles, ConvertBeforeAnyPictureWritesZeros)
{
    ScratchFolder folder;
    auto state = startState();
    BufferSurface preview(kPictureWidth, kPictureHeight);
    ASSERT_FALSE(convertAndWrite(*state, preview, folder.file("$.screen")));
    EXPECT_EQ(readBytes(folder.file("$.screen")), std::vector<std::uint8_t>(20480, 0));
}

// Writes that fail must leave an earlier pair exactly as it was, paint the
// preview all the same, and say which file failed and why.
class FailedScreenWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        fillRandomPlanes(*state, 3);
        writeText(folder.file("$.screen"), "old screen");
        writeText(folder.file("$.screen.inf"), "old inf\n");
        for (int y = 0; y < kPictureHeight; ++y)
            for (int x = 0; x < kPictureWidth; ++x)
                preview.setPixel(x, y, kUnpainted);
    }

    bool previewPainted() const
    {
        for (int y = 0; y < kPictureHeight; ++y)
            for (int x = 0; x < kPictureWidth; ++x)
                if (preview.pixel(x, y) == kUnpainted)
                    return false;
        return true;
    }

    static constexpr Color kUnpainted = RGB(1, 2, 3);

    void expectOldPairKept()
    {
        const auto screen = readBytes(folder.file("$.screen"));
        EXPECT_EQ(std::string(screen.begin(), screen.end()), "old screen");
        const auto inf = readBytes(folder.file("$.screen.inf"));
        EXPECT_EQ(std::string(inf.begin(), inf.end()), "old inf\n");
    }

    ScratchFolder folder;
    std::unique_ptr<ConversionState> state = startState();
    BufferSurface preview{kPictureWidth, kPictureHeight};
};

TEST_F(FailedScreenWrite, MissingFolderNamesTheFile)
{
    const std::string screen = folder.file("no-such-folder/$.screen");
    const auto failure = convertAndWrite(*state, preview, screen);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->subject, screen);
    EXPECT_EQ(failure->reason, "No such file or directory");
    EXPECT_EQ(failure->message(), screen + ": No such file or directory");
    EXPECT_TRUE(previewPainted());
    expectOldPairKept();
}

TEST_F(FailedScreenWrite, DirectoryInTheSideFilesPlaceKeepsTheOldScreen)
{
    fs::remove(folder.file("$.screen.inf"));
    fs::create_directory(folder.file("$.screen.inf"));
    const auto failure = convertAndWrite(*state, preview, folder.file("$.screen"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->subject, folder.file("$.screen.inf"));
    const auto screen = readBytes(folder.file("$.screen"));
    EXPECT_EQ(std::string(screen.begin(), screen.end()), "old screen");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"$.screen", "$.screen.inf"}));
}

// A mode without a record is a programming mistake, not a write failure: it
// stops the program before anything is written.
TEST_F(FailedScreenWrite, UnsupportedModeStopsBeforeWriting)
{
    state->curmode = 9;
    EXPECT_DEATH((void)convertAndWrite(*state, preview, folder.file("$.screen")),
                 "screen mode 9 is not supported");
    expectOldPairKept();
}

namespace {

Conversion blankConversion(int mode, bool nula)
{
    const ModeRecord& record = *findModeRecord(mode);
    Conversion conversion;
    conversion.settings.mode = mode;
    conversion.screen = Screen(*record.bitmap);
    if (nula)
        conversion.screen.palette().nula = NulaTable{};
    // Every byte &12, so each file of the set is told from the others (bits 7
    // and 6 clear: mode 2 without NuLA colours numbers only eight).
    conversion.screen.pixels = unpackScreen(*record.bitmap, std::vector<std::uint8_t>(
        static_cast<std::size_t>(record.screenBytes), 0x12));
    return conversion;
}

std::string text(const std::vector<std::uint8_t>& bytes)
{
    return {bytes.begin(), bytes.end()};
}

}  // namespace

// Whatever a conversion makes, every member of its screen's set is either
// written or removed, once, and the .inf lines name the files as the
// screen's names say.
TEST(ScreenFileSet, EveryMemberIsWrittenOrRemoved)
{
    const std::vector<std::uint8_t> stream(300, 7);
    const ScreenNames names{"$.AQUA", "N.AQUA", "Z.AQUA"};
    for (const bool nula : {false, true})
        for (const bool packed : {false, true}) {
            SCOPED_TRACE(std::string(nula ? "nula" : "") + (packed ? " packed" : ""));
            const Conversion conversion = blankConversion(2, nula);
            const FileSet set = screenFileSet("out/Aqua.screen", names, conversion,
                                              packed ? std::span(stream) : std::span<const std::uint8_t>());
            std::vector<std::string> members = set.removals;
            for (const auto& file : set.files)
                members.push_back(file.path);
            std::sort(members.begin(), members.end());
            auto all = screenSetFiles("out/Aqua.screen");
            std::sort(all.begin(), all.end());
            EXPECT_EQ(members, all);
            EXPECT_EQ(set.files.size(), 2u + (nula ? 2u : 0u) + (packed ? 2u : 0u));
            EXPECT_EQ(set.files[0].bytes, conversion.bytes());
            EXPECT_EQ(text(set.files[1].bytes), "$.AQUA     003000 000000 005000\n");
            if (nula) {
                EXPECT_EQ(text(set.files[3].bytes), "N.AQUA     000900 000000 000020\n");
            }
            if (packed) {
                EXPECT_EQ(text(set.files.back().bytes), "Z.AQUA     007ED4 000000 00012C\n");
            }
        }
}

// "$.screen" keeps its names in any folder; every other file is named after
// itself, in a form host filing systems take: a directory character, ".",
// and one to seven letters and digits.
TEST(ScreenNames, WindowNamesKeptOthersMadeFromTheFileName)
{
    const ScreenNames window{"$.SCREEN", "$.NULA", "$.SCREENZ"};
    EXPECT_EQ(screenNames("$.screen"), window);
    EXPECT_EQ(screenNames("/home/user/pictures/$.screen"), window);
    EXPECT_EQ(screenNames("out/Aqua.screen"), (ScreenNames{"$.AQUA", "N.AQUA", "Z.AQUA"}));
    EXPECT_EQ(screenNames("old.scr").screen, "$.OLD");
    EXPECT_EQ(screenNames("$.pic").screen, "$.PIC");
    EXPECT_EQ(screenNames("scan-page-012.screen").screen, "$.SCAN012");
    EXPECT_EQ(screenNames("$.SCREEN").nula, "N.SCREEN");

    // A batch: each name once, "$.screen" keeping SCREEN whatever its place.
    const auto batch = screenNames({"a/screen.screen", "a/Holiday.screen", "b/holiday!.screen", "a/$.screen"});
    ASSERT_TRUE(batch.ok());
    std::vector<std::string> shown;
    for (const ScreenNames& names : batch.value())
        shown.push_back(names.screen);
    EXPECT_EQ(shown, (std::vector<std::string>{"$.SCREEN2", "$.HOLIDAY", "$.HOLIDA2", "$.SCREEN"}));
    const std::regex hostName(R"([$NZ]\.[A-Z0-9]{1,7})");
    for (const ScreenNames& names : batch.value())
        for (const std::string* name : {&names.screen, &names.nula, &names.packed})
            EXPECT_TRUE(std::regex_match(*name, hostName)) << *name;

    const std::vector<std::string> tenAlike(10, "out/same.screen");
    EXPECT_FALSE(screenNames(tenAlike).ok());
}
