// Compressed discs booted on the emulated BBC Micro: our 6502 routine must
// unpack each screen into the I/O processor's memory byte for byte, from a
// single-sided disc, the second side of a double-sided one and a disc taken
// out of an MMB file.
#include "tests/engine_steps.h"
#include "emulated_boot.h"

#include "conversion/classic/conversion_pass.h"
#include "outputs/boot_discs.h"
#include "outputs/disc_containers.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <fstream>
#include <random>

namespace {

// Booting, *EXEC of the loader and a packed screen's load and unpacking
// take about 4 emulated seconds; a 20 KiB screen stored whole about 3 more.
constexpr double kStepSeconds = 6;

struct Picture {
    BufferSurface preview{kPictureWidth, kPictureHeight};
    Conversion conversion;
};

// Soft colour fields with sharp edges, as photos have: they pack well.
Picture fieldsPicture(int mode, Halftone halftone, int seed)
{
    auto state = startState();
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            state->red(x, y) = (x * 255 / (kPictureWidth - 1) + seed * 40) % 256;
            state->green(x, y) = y * 255 / (kPictureHeight - 1);
            state->blue(x, y) = ((x / 40 + y / 32 + seed) % 2) * 200;
        }
    state->curmode = mode;
    state->htone = static_cast<int>(halftone);
    Picture picture;
    picture.conversion = convertScreen(*state, picture.preview);
    return picture;
}

// A 20 KiB screen of random bytes: nothing to pack, so stored whole. Mode
// 1's four colours make every bit of a byte a pixel's.
Conversion noiseScreen(std::uint32_t seed)
{
    std::mt19937 random(seed);
    Conversion conversion;
    conversion.settings.mode = 1;
    conversion.screen = Screen(*findScreenMode(1));
    for (auto& pixel : conversion.screen.pixels)
        pixel = static_cast<std::uint8_t>(random() & 3);
    return conversion;
}

void writeFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes)
{
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

class CompressedBoot : public testing::Test {
protected:
    void SetUp() override
    {
        if (!emulatorInstalled())
            GTEST_SKIP() << "jsbeeb is not installed (the npm registry could not be reached)";
    }

    EmulatedScreen boot(const std::filesystem::path& disc, double seconds, int keyPresses = 0)
    {
        std::string problem;
        auto screen = bootOnEmulator(disc, folder.path(), seconds, keyPresses, problem);
        if (!screen) {
            ADD_FAILURE() << problem;
            return {};
        }
        return *screen;
    }

    // The screen memory is the screen file and the frame is the preview.
    static void expectShown(const EmulatedScreen& screen, const Picture& picture)
    {
        ASSERT_EQ(screen.memory.size(), 0x5000u);
        const auto start = screen.memory.begin() + (picture.conversion.screenStart() - 0x3000);
        const std::vector<std::uint8_t> file = picture.conversion.bytes();
        EXPECT_TRUE(std::equal(file.begin(), file.end(), start))
            << "screen memory differs from the screen file";
        int mismatches = 0;
        for (int y = 0; y < kPictureHeight; ++y)
            for (int x = 0; x < kPictureWidth; ++x)
                mismatches += screen.pixel(2 * x + 1, 2 * y) != picture.preview.scanLine(y)[x];
        EXPECT_EQ(mismatches, 0) << "preview pixels not shown";
    }

    ScratchFolder folder;
};

TEST_F(CompressedBoot, SinglePictureDiscUnpacksTheScreen)
{
    const Picture picture = fieldsPicture(2, Halftone::Fine, 1);
    const std::vector<Slide> slides{{"fields", &picture.conversion}};
    const auto discs = makeDiscSet(slides, DiscSettings{});
    ASSERT_TRUE(discs.ok());
    ASSERT_TRUE(discs.value().pictures.front().packed);
    writeFile(folder.path() / "packed.ssd", discs.value().files.front());
    expectShown(boot(folder.path() / "packed.ssd", kStepSeconds), picture);
}

// The first picture is put in place before the loader is typed in, which
// must leave it untouched. Mode 4's screen starts at &5800: the stream says
// where it unpacks to.
TEST_F(CompressedBoot, SlideshowShowsItsFirstPictureAndAfterAKeyItsSecondPackedOne)
{
    const Picture first = fieldsPicture(1, Halftone::Coarse, 2);
    const Picture second = fieldsPicture(4, Halftone::Diagonal, 3);
    const std::vector<Slide> slides{{"first", &first.conversion}, {"second", &second.conversion}};
    const auto discs = makeDiscSet(slides, DiscSettings{80, 0, true, DiscKind::Single});
    ASSERT_TRUE(discs.ok());
    ASSERT_EQ(discs.value().files.size(), 1u);
    ASSERT_TRUE(discs.value().pictures[1].packed);
    writeFile(folder.path() / "show.ssd", discs.value().files.front());
    expectShown(boot(folder.path() / "show.ssd", kStepSeconds), first);
    expectShown(boot(folder.path() / "show.ssd", kStepSeconds, 1), second);
}

// Four screens stored whole fill side 0 of a 40-track disc, so the fifth
// and the packed sixth go on side 2 (drive 2), read from there by the loader.
TEST_F(CompressedBoot, DoubleSidedDiscShowsAPictureFromItsSecondSide)
{
    std::vector<Conversion> noise;
    for (std::uint32_t i = 0; i < 5; ++i)
        noise.push_back(noiseScreen(100 + i));
    const Picture packed = fieldsPicture(2, Halftone::Spiral, 4);
    std::vector<Slide> slides;
    for (std::size_t i = 0; i < noise.size(); ++i)
        slides.push_back({"noise" + std::to_string(i), &noise[i]});
    slides.push_back({"fields", &packed.conversion});
    const auto discs = makeDiscSet(slides, DiscSettings{40, 0, true, DiscKind::DoubleSided});
    ASSERT_TRUE(discs.ok());
    ASSERT_EQ(discs.value().files.size(), 1u);
    const PlacedPicture& last = discs.value().pictures.back();
    ASSERT_EQ(last.drive, 2);
    ASSERT_TRUE(last.packed);
    writeFile(folder.path() / "two.dsd", discs.value().files.front());
    expectShown(boot(folder.path() / "two.dsd", 4.5, 5), packed);
}

// The first of an MMB file's discs, cut out of its 200 KiB slot, boots on
// its own as an .ssd would.
TEST_F(CompressedBoot, FirstDiscOfAnMmbFileBootsAsAnSsd)
{
    const Picture first = fieldsPicture(5, Halftone::Fine, 5);
    const Picture second = fieldsPicture(2, Halftone::None, 6);
    const std::vector<Slide> slides{{"first", &first.conversion}, {"second", &second.conversion}};
    const auto discs = makeDiscSet(slides, DiscSettings{80, 0, true, DiscKind::Mmb});
    ASSERT_TRUE(discs.ok());
    const auto& mmb = discs.value().files.front();
    ASSERT_EQ(mmb.size(), kMmbTableBytes + kMmbSlotBytes);
    writeFile(folder.path() / "first.ssd",
              std::span<const std::uint8_t>(mmb).subspan(kMmbTableBytes, kMmbSlotBytes));
    expectShown(boot(folder.path() / "first.ssd", kStepSeconds), first);
}

// The real rasterine-convert makes a compressed slideshow (its default) and,
// for comparison, the screen files and previews.
TEST_F(CompressedBoot, CommandLineSlideshowShowsItsSecondPicture)
{
    for (const int seed : {1, 2}) {
        QImage image(480, 360, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb((x * 255 / 479 + 90 * seed) % 256, y * 255 / 359, ((x / 60 + y / 45 + seed) % 2) * 200));
        ASSERT_TRUE(image.save(QString::fromStdString(folder.file("picture" + std::to_string(seed) + ".png"))));
    }
    const std::string command = "cd '" + folder.path().string() + "' && mkdir out && '" RASTERINE_CONVERT
                                "' -m 2 -t fine -d out --previews --disc show.ssd picture1.png picture2.png";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const EmulatedScreen screen = boot(folder.path() / "show.ssd", kStepSeconds, 1);
    EXPECT_TRUE(std::vector<std::uint8_t>(screen.memory.begin(), screen.memory.end()) ==
                readBytes(folder.path() / "out" / "picture2.screen"));
    const QImage preview = QImage(QString::fromStdString(folder.file("out/picture2.png"))).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(preview.size(), QSize(kPictureWidth, kPictureHeight));
    int mismatches = 0;
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            mismatches += screen.pixel(2 * x + 1, 2 * y) != preview.pixel(x, y);
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
