// Rasterine's discs booted on an emulated BBC Micro (jsbeeb, model B with
// DFS): what its video hardware shows must be our preview pixel for pixel,
// and its screen memory must be our screen file byte for byte.
#include "tests/engine_steps.h"
#include "emulated_boot.h"

#include "conversion/classic/conversion_pass.h"
#include "conversion/painter.h"
#include "conversion/entry/picture_conversion.h"
#include "conversion/teletext/teletext_conversion.h"
#include "conversion/teletext_renderer.h"
#include "outputs/boot_discs.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Emulated seconds from releasing Shift until the picture is on the screen,
// with room to spare: the OS boots, *EXEC runs !BOOT (a slideshow's loader
// is typed into BASIC and run), DFS loads 20 KiB. Both take about 4.
constexpr double kBootSeconds = 8;

// The graphics modes' active display: 80 character cells of 8 emulator
// pixels wide, 256 scan lines each drawn twice.
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 512;

using PaletteChanges = std::vector<std::pair<int, int>>;  // logical colour, physical colour

struct Picture {
    BufferSurface preview;
    Conversion conversion;
};

// A picture of random colours converted for `mode`, with the "Fine"
// half-tone, and shown in the palette given.
Picture randomPicture(int mode, std::uint32_t seed, const PaletteChanges& palette = {})
{
    auto state = startState();
    fillRandomPlanes(*state, seed);
    state->curmode = mode;
    state->htone = static_cast<int>(Halftone::Fine);
    BufferSurface preview(kPictureWidth, kPictureHeight);
    Screen image = convertScreen(*state, preview).screen;
    for (const auto& [logical, physical] : palette)
        image.palette().physical[static_cast<std::size_t>(logical)] = static_cast<std::uint8_t>(physical);
    Conversion conversion = finishConversion(std::move(image), preview);
    return {std::move(preview), std::move(conversion)};
}

void writeDisc(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

EmulatedScreen boot(const std::filesystem::path& disc, const ScratchFolder& folder, double seconds,
                    int keyPresses = 0, FrameArea area = FrameArea::Active)
{
    std::string problem;
    auto screen = bootOnEmulator(disc, folder.path(), seconds, keyPresses, problem, area);
    if (!screen) {
        ADD_FAILURE() << problem;
        return {};
    }
    return *screen;
}

// The mismatches between what a frame shows and what we expect, with the first of them.
struct Mismatches {
    int count = 0;
    std::string first;

    void check(bool same, const char* what, int x, int y)
    {
        if (!same && count++ == 0) {
            std::ostringstream where;
            where << what << " at (" << x << ", " << y << ")";
            first = where.str();
        }
    }
};

// The frame against the preview: preview pixel (x, y) covers emulator
// pixels 2x, 2x + 1 of lines 2y, 2y + 1. In mode 0 those are two screen
// pixels, and the painter shows the right one, so that is the one compared;
// the full-resolution check below covers the left one.
void expectPreviewShown(const EmulatedScreen& screen, const PixelSurface& preview)
{
    Mismatches mismatches;
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            for (int line : {2 * y, 2 * y + 1})
                mismatches.check(screen.pixel(2 * x + 1, line) == preview.scanLine(y)[x], "preview pixel", x, y);
    EXPECT_EQ(mismatches.count, 0) << "first: " << mismatches.first;
}

// Every emulator pixel against the screen pixel it shows: a screen pixel of
// a mode with W pixels a line is 640 / W emulator pixels wide and 2 tall.
void expectScreenImageShown(const EmulatedScreen& screen, const Screen& image)
{
    Mismatches mismatches;
    const int scale = kFrameWidth / image.width();
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            const int logical = image.at(x / scale, y / 2);
            const std::uint32_t expected = toRgb32(physicalRgb(image.palette().physical[static_cast<std::size_t>(logical)]));
            mismatches.check(screen.pixel(x, y) == expected, "emulator pixel", x, y);
        }
    EXPECT_EQ(mismatches.count, 0) << "first: " << mismatches.first;
}

void expectShown(const EmulatedScreen& screen, const Conversion& conversion, const PixelSurface& preview)
{
    ASSERT_EQ(screen.width, kFrameWidth);
    ASSERT_EQ(screen.height, kFrameHeight);
    const std::size_t offset = conversion.screen.mode->screenStart - 0x3000;
    const std::vector<std::uint8_t> memory(screen.memory.begin() + static_cast<std::ptrdiff_t>(offset),
                                           screen.memory.end());
    EXPECT_TRUE(memory == conversion.bytes()) << "screen memory differs from the screen file";
    expectScreenImageShown(screen, conversion.screen);
    expectPreviewShown(screen, preview);
}

// Mode 7 as booted: screen memory from &7C00 is the 1000 bytes, and the
// teletext area is drawTeletext's picture. jsbeeb's full intensity is 240,
// ours 255, and both blend the partly covered pixels of separated mosaics in
// the same way, so a pixel agrees when each component matches to within 1 %.
void expectTeletextShown(const EmulatedScreen& screen, const std::vector<std::uint8_t>& bytes)
{
    ASSERT_EQ(screen.width, kTeletextWidth);
    ASSERT_EQ(screen.height, kTeletextHeight);
    ASSERT_EQ(bytes.size(), 1000u);
    const auto start = screen.memory.begin() + (0x7C00 - 0x3000);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), start)) << "screen memory differs from the screen file";
    TeletextScreen teletext;
    std::copy(bytes.begin(), bytes.end(), teletext.bytes.begin());
    BufferSurface drawn(kTeletextWidth, kTeletextHeight);
    drawTeletext(teletext, drawn);
    Mismatches mismatches;
    for (int y = 0; y < kTeletextHeight; ++y)
        for (int x = 0; x < kTeletextWidth; ++x) {
            const std::uint32_t theirs = screen.pixel(x, y), ours = drawn.scanLine(y)[x];
            bool same = true;
            for (const int shift : {16, 8, 0})
                same = same && std::abs(((theirs >> shift) & 0xFF) / 240.0 - ((ours >> shift) & 0xFF) / 255.0) < 0.01;
            mismatches.check(same, "teletext pixel", x, y);
        }
    EXPECT_EQ(mismatches.count, 0) << "first: " << mismatches.first;
}

class EmulatedBoot : public testing::Test {
protected:
    void SetUp() override
    {
        if (!emulatorInstalled())
            GTEST_SKIP() << "jsbeeb is not installed (the npm registry could not be reached)";
    }
    ScratchFolder folder;
};

struct BootCase {
    int mode;
    int tracks;
    PaletteChanges palette;
};

class BootDiscOnEmulator : public EmulatedBoot, public testing::WithParamInterface<BootCase> {};

TEST_P(BootDiscOnEmulator, ShowsThePreviewAndHoldsTheScreenFile)
{
    const BootCase& test = GetParam();
    const Picture picture = randomPicture(test.mode, 11 + static_cast<std::uint32_t>(test.mode), test.palette);
    const auto disc = bootDisc(picture.conversion, test.tracks, false);
    ASSERT_TRUE(disc.ok());
    writeDisc(folder.path() / "boot.ssd", disc.value().bytes);
    expectShown(boot(folder.path() / "boot.ssd", folder, kBootSeconds), picture.conversion, picture.preview);
}

std::string caseName(const testing::TestParamInfo<BootCase>& info)
{
    return "Mode" + std::to_string(info.param.mode) + "_" + std::to_string(info.param.tracks) + "Tracks" +
           (info.param.palette.empty() ? "" : "_ChosenPalette");
}

INSTANTIATE_TEST_SUITE_P(, BootDiscOnEmulator,
                         testing::Values(BootCase{0, 80, {}}, BootCase{1, 80, {}}, BootCase{2, 80, {}},
                                         BootCase{4, 80, {}}, BootCase{5, 80, {}},
                                         BootCase{1, 80, {{1, 4}, {2, 6}}},
                                         BootCase{2, 40, {{0, 4}, {4, 0}, {7, 3}}},
                                         BootCase{4, 40, {{0, 4}, {1, 3}}}),
                         caseName);

// Two pictures of different modes and palettes on one slideshow disc.
std::vector<Picture> twoSlides()
{
    std::vector<Picture> pictures;
    pictures.push_back(randomPicture(2, 21));
    pictures.push_back(randomPicture(5, 22, {{1, 4}, {3, 5}}));
    return pictures;
}

std::filesystem::path writeSlideshow(const std::vector<Picture>& pictures, int delaySeconds,
                                     const ScratchFolder& folder)
{
    const std::vector<Slide> slides{{"first", &pictures[0].conversion}, {"second", &pictures[1].conversion}};
    const auto discs = slideshowDiscs(slides, 80, delaySeconds);
    EXPECT_TRUE(discs.ok());
    EXPECT_EQ(discs.value().size(), 1u);
    writeDisc(folder.path() / "slides.ssd", discs.value().front().bytes);
    return folder.path() / "slides.ssd";
}

TEST_F(EmulatedBoot, SlideshowShowsTheSecondPictureAfterAKey)
{
    const auto pictures = twoSlides();
    const auto disc = writeSlideshow(pictures, 0, folder);
    const EmulatedScreen screen = boot(disc, folder, kBootSeconds, 1);
    expectShown(screen, pictures[1].conversion, pictures[1].preview);
}

// With a 6-second delay the first picture is complete about 4 seconds after
// Shift is released, the second from about 12 until about 18, when the
// slideshow starts again. Emulated time is exact, so 14 is always inside.
TEST_F(EmulatedBoot, SlideshowMovesOnAfterTheDelay)
{
    const auto pictures = twoSlides();
    const auto disc = writeSlideshow(pictures, 6, folder);
    const EmulatedScreen screen = boot(disc, folder, 14);
    expectShown(screen, pictures[1].conversion, pictures[1].preview);
}

// A picture of soft colour fields with sharp edges, larger than the screen.
QImage generatedPicture()
{
    QImage image(480, 360, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 479, y * 255 / 359, ((x / 60 + y / 45) % 2) * 200));
    return image;
}

// The real rasterine-convert makes the disc, the screen file and the preview PNG.
TEST_F(EmulatedBoot, CommandLineDiscShowsItsPreview)
{
    ASSERT_TRUE(generatedPicture().save(QString::fromStdString(folder.file("picture.png"))));
    const std::string command = "cd '" + folder.path().string() + "' && '" RASTERINE_CONVERT
                                "' -m 1 -t coarse -s -o screen -p preview.png --disc picture.ssd picture.png";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const EmulatedScreen screen = boot(folder.path() / "picture.ssd", folder, kBootSeconds);
    ASSERT_EQ(screen.width, kFrameWidth);
    EXPECT_TRUE(std::vector<std::uint8_t>(screen.memory.begin(), screen.memory.end()) ==
                readBytes(folder.path() / "screen"));
    QImage preview(QString::fromStdString(folder.file("preview.png")));
    preview = preview.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(preview.size(), QSize(kPictureWidth, kPictureHeight));
    BufferSurface surface(kPictureWidth, kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            surface.scanLine(y)[x] = preview.pixel(x, y);
    expectPreviewShown(screen, surface);
}

// A mode 7 boot disc from the engine: !BOOT selects MODE 7, turns the
// cursor off and loads the 1000 bytes to &7C00.
TEST_F(EmulatedBoot, ModeSevenDiscShowsTheTeletextScreen)
{
    auto state = startState();
    fillRandomPlanes(*state, 71);
    BufferSurface preview(kPictureWidth, kPictureHeight);
    const Conversion conversion = convertTeletext(*state, preview);
    const auto disc = bootDisc(conversion, 80, false);
    ASSERT_TRUE(disc.ok());
    writeDisc(folder.path() / "teletext.ssd", disc.value().bytes);
    expectTeletextShown(boot(folder.path() / "teletext.ssd", folder, kBootSeconds, 0, FrameArea::Teletext),
                        conversion.bytes());
}

// The real rasterine-convert -m 7 makes the disc and the screen file.
TEST_F(EmulatedBoot, CommandLineModeSevenDiscShowsItsScreen)
{
    ASSERT_TRUE(generatedPicture().save(QString::fromStdString(folder.file("picture.png"))));
    const std::string command = "cd '" + folder.path().string() + "' && '" RASTERINE_CONVERT
                                "' -m 7 --fit fit --bar 4 -o screen --disc picture.ssd picture.png";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const EmulatedScreen screen = boot(folder.path() / "picture.ssd", folder, kBootSeconds, 0, FrameArea::Teletext);
    expectTeletextShown(screen, readBytes(folder.path() / "screen"));
}

}  // namespace
