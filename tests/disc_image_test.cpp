#include "tests/engine_steps.h"
#include "conversion/classic/conversion_pass.h"
#include "outputs/boot_discs.h"
#include "outputs/dfs_image.h"
#include "outputs/dfs_names.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> range(const std::vector<std::uint8_t>& disc, std::size_t from, std::size_t count)
{
    return {disc.begin() + static_cast<std::ptrdiff_t>(from), disc.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

// Two files on a 40-track disc (400 sectors, &190): a big one whose length,
// load and execution addresses need bits 16-17, laid out first at sector 2,
// and a small locked one after its 257 sectors, at sector 259 (&103).
TEST(DfsImage, CatalogueOfTwoFilesByteForByte)
{
    DiscCatalogue catalogue{"PICTURESDISK", 40, BootOption::Exec, {}};
    catalogue.files.push_back({"BIG", '$', false, 0xFF1900, 0xFF8023, std::vector<std::uint8_t>(0x10100, 0xAA)});
    catalogue.files.push_back({"NOTE", 'T', true, 0x3000, 0, bytesOf("0123456789")});
    const auto disc = buildDisc(catalogue);
    ASSERT_TRUE(disc.ok()) << disc.failure().message();
    const auto& bytes = disc.value();
    ASSERT_EQ(bytes.size(), 400u * 256u);

    // Sector 0: title characters 1-8, then name and directory of each file,
    // the one with the higher start sector first; bit 7 of the directory: locked.
    EXPECT_EQ(range(bytes, 0, 24), bytesOf("PICTURESNOTE   \xD4" "BIG    $"));
    // Sector 1: title characters 9-12, write count, 8 x files, boot option 3
    // in bits 4-5 with sector count bits 8-9, sector count low byte; then
    // load, exec, length, packed high bits, start sector of each file.
    const std::vector<std::uint8_t> sector1{
        'D', 'I', 'S', 'K', 0x00, 0x10, 0x31, 0x90,
        0x00, 0x30, 0x00, 0x00, 0x0A, 0x00, 0x01, 0x03,  // NOTE: start &103
        0x00, 0x19, 0x23, 0x80, 0x00, 0x01, 0xDC, 0x02,  // BIG: exec 3, length 1, load 3, start 2
    };
    EXPECT_EQ(range(bytes, 256, 24), sector1);
    EXPECT_EQ(range(bytes, 280, 232), std::vector<std::uint8_t>(232, 0));
    EXPECT_EQ(range(bytes, 2 * 256, 0x10100), std::vector<std::uint8_t>(0x10100, 0xAA));
    EXPECT_EQ(range(bytes, 259 * 256, 10), bytesOf("0123456789"));
}

TEST(DfsImage, RefusesWhatDfsCannotHold)
{
    const auto failsWith = [](const DiscCatalogue& catalogue, const std::string& words) {
        const auto disc = buildDisc(catalogue);
        ASSERT_FALSE(disc.ok());
        EXPECT_NE(disc.failure().reason.find(words), std::string::npos) << disc.failure().message();
    };
    // 798 sectors of files fill an 80-track disc exactly; one byte more does not fit.
    DiscCatalogue full{"FULL", 80, BootOption::None, {{"A", '$', false, 0, 0, std::vector<std::uint8_t>(798 * 256)}}};
    EXPECT_TRUE(buildDisc(full).ok());
    full.files[0].bytes.push_back(0);
    failsWith(full, "need 799 sectors of 256 bytes; a disc of 80 tracks has 798 after its catalogue");

    DiscCatalogue many{"MANY", 40, BootOption::None, {}};
    for (int i = 0; i < 32; ++i)
        many.files.push_back({std::string("F").append(std::to_string(i)), '$', false, 0, 0, {1}});
    failsWith(many, "at most 31 files");
    many.files.pop_back();
    EXPECT_TRUE(buildDisc(many).ok());

    failsWith({"X", 40, BootOption::None, {{"TOOLONG1", '$', false, 0, 0, {}}}}, "not a DFS file name");
    failsWith({"X", 40, BootOption::None, {{"A.B", '$', false, 0, 0, {}}}}, "not a DFS file name");
    failsWith({"X", 60, BootOption::None, {}}, "40 or 80 tracks");
    failsWith({"THIRTEENCHARS", 40, BootOption::None, {}}, "at most 12 characters");
}

TEST(DfsNames, LettersAndDigitsUniqueAndNumbered)
{
    const auto names = dfsNames({"holiday", "Holiday!", "scan-page-012", "IMG_20240101_123456", "\xE6\x97\xA5",
                                 "a-1", "a_1", "holiday beach"});
    ASSERT_TRUE(names.ok());
    EXPECT_EQ(names.value(), (std::vector<std::string>{"HOLIDAY", "HOLIDA2", "SCAN012", "IMG3456", "PICTURE",
                                                        "A1", "A12", "HOLIDA3"}));

    const std::vector<std::string> ten(10, "photo");
    const auto tooMany = dfsNames(ten);
    ASSERT_FALSE(tooMany.ok());
    EXPECT_EQ(tooMany.failure().subject, "photo");
    EXPECT_TRUE(dfsNames(std::vector<std::string>(9, "photo")).ok());
}

Conversion blankConversion(int mode)
{
    auto state = startState();
    state->curmode = mode;
    BufferSurface preview(kPictureWidth, kPictureHeight);
    return convertScreen(*state, preview);
}

// A catalogue entry's load address (18 bits) and start sector.
std::uint32_t loadOf(const std::vector<std::uint8_t>& disc, int slot)
{
    const std::size_t at = 256 + 8 + 8 * static_cast<std::size_t>(slot);
    return disc[at] | (disc[at + 1] << 8) | (((disc[at + 6] >> 2) & 3u) << 16);
}

TEST(BootDisc, ExecsBootAndLoadsTheScreenIntoTheIoProcessor)
{
    for (int mode : {1, 4}) {
        const Conversion conversion = blankConversion(mode);
        const auto disc = bootDisc(conversion, 40, false);
        ASSERT_TRUE(disc.ok());
        const auto& bytes = disc.value().bytes;
        EXPECT_EQ(bytes[256 + 6] >> 4, 3) << "*EXEC !BOOT on Shift+Break";
        EXPECT_EQ(range(bytes, 8, 16), bytesOf("SCREEN $!BOOT  $"));
        // &FF3000 and &FF5800 keep their bits 16-17 (3): the I/O processor.
        EXPECT_EQ(loadOf(bytes, 0), (mode == 1 ? 0x33000u : 0x35800u));
        EXPECT_EQ(range(bytes, 3 * 256, conversion.bytes().size()), conversion.bytes());
    }
}

TEST(SlideshowDiscs, FillsEachDiscWithAsManyScreensAsFit)
{
    // 20 KiB screens are 80 sectors, 10 KiB ones 40; the catalogue and the
    // loader take the first few sectors of each disc.
    struct Case {
        int mode, tracks;
        std::size_t perDisc;
    };
    for (const Case test : {Case{2, 80, 9}, Case{2, 40, 4}, Case{5, 80, 19}, Case{5, 40, 9}}) {
        const Conversion conversion = blankConversion(test.mode);
        std::vector<Slide> slides;
        for (int i = 0; i < 20; ++i)
            slides.push_back({std::string("pic").append(std::to_string(i)), &conversion});
        const auto discs = slideshowDiscs(slides, test.tracks, 5);
        ASSERT_TRUE(discs.ok()) << discs.failure().message();
        std::size_t shown = 0;
        for (const DiscImage& disc : discs.value()) {
            EXPECT_EQ(disc.pictures.size(), std::min(test.perDisc, slides.size() - shown));
            EXPECT_EQ(disc.pictures.front().second, std::string("PIC").append(std::to_string(shown)));
            EXPECT_EQ(disc.bytes.size(), static_cast<std::size_t>(test.tracks) * 2560);
            shown += disc.pictures.size();
        }
        EXPECT_EQ(shown, slides.size()) << "mode " << test.mode << ", " << test.tracks << " tracks";
    }
}

TEST(SlideshowDiscs, RefusesBeforeMakingAnyDisc)
{
    const Conversion conversion = blankConversion(4);
    const std::vector<Slide> slides(10, Slide{"same", &conversion});
    EXPECT_FALSE(slideshowDiscs(slides, 80, 0).ok());
    const std::vector<Slide> two{{"a", &conversion}, {"b", &conversion}};
    EXPECT_TRUE(slideshowDiscs(two, 80, kMaxSlideDelaySeconds).ok());
    EXPECT_EQ(slideshowDiscs(two, 80, kMaxSlideDelaySeconds + 1).failure().subject, "delay");
    EXPECT_FALSE(slideshowDiscs(two, 80, -1).ok());
}

}  // namespace
