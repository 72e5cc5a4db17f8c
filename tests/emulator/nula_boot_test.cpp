// Discs of pictures in VideoNuLA colours booted on jsbeeb: with NuLA the
// frame shows our preview's 12-bit colours pixel for pixel; with NuLA
// switched off before the boot, the same disc shows each logical colour as
// the standard colour nearest its 12-bit colour, the picture in its place.
#include "tests/engine_steps.h"
#include "emulated_boot.h"

#include "conversion/entry/picture_conversion.h"
#include "conversion/painter.h"
#include "outputs/boot_discs.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <fstream>

namespace {

constexpr double kBootSeconds = 8;
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 512;

// Soft colour fields with sharp edges, in many hues, larger than the screen.
LinearImage colourfulPicture()
{
    LinearImage image(480, 360);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.at(x, y) = LinearRgb{x / 479.0f, y / 359.0f, ((x / 60 + y / 45) % 3) * 0.4f};
    return image;
}

struct NulaPicture {
    BufferSurface preview{kPictureWidth, kPictureHeight};
    Conversion conversion;
};

NulaPicture nulaPicture(int mode, Method method, bool nula = true)
{
    Settings settings;
    settings.mode = mode;
    settings.method = method;
    settings.nula = nula;
    NulaPicture picture;
    auto state = startState();
    picture.conversion = convertWithSettings(settings, *state, colourfulPicture(), picture.preview);
    return picture;
}

std::filesystem::path writeFile(const std::vector<std::uint8_t>& bytes, const ScratchFolder& folder)
{
    const auto file = folder.path() / "nula.ssd";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::filesystem::path writeDisc(const Conversion& conversion, const ScratchFolder& folder)
{
    const auto disc = bootDisc(conversion, 80, false);
    EXPECT_TRUE(disc.ok());
    return writeFile(disc.value().bytes, folder);
}

EmulatedScreen boot(const std::filesystem::path& disc, const ScratchFolder& folder, NulaFitted nula,
                    int keyPresses = 0)
{
    std::string problem;
    auto screen = bootOnEmulator(disc, folder.path(), kBootSeconds, keyPresses, problem, FrameArea::Active, nula);
    if (!screen) {
        ADD_FAILURE() << problem;
        return {};
    }
    return *screen;
}

void expectMemoryHolds(const EmulatedScreen& screen, const std::vector<std::uint8_t>& bytes)
{
    ASSERT_EQ(screen.memory.size(), 0x5000u);
    const std::vector<std::uint8_t> shown(screen.memory.end() - static_cast<std::ptrdiff_t>(bytes.size()),
                                          screen.memory.end());
    EXPECT_TRUE(shown == bytes) << "screen memory differs from the screen file";
}

// Every emulator pixel against the colour its screen pixel should show:
// the 12-bit colour with NuLA, the nearest standard colour without.
void expectColoursShown(const EmulatedScreen& screen, const Screen& image, NulaFitted nula)
{
    ASSERT_EQ(screen.width, kFrameWidth);
    ASSERT_EQ(screen.height, kFrameHeight);
    ASSERT_TRUE(image.palette().nula.has_value());
    const int scale = kFrameWidth / image.width();
    int wrong = 0;
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            const NulaColour colour = (*image.palette().nula)[image.at(x / scale, y / 2)];
            const Color expected = nula == NulaFitted::On ? nulaRgb(colour) : physicalRgb(nearestStandardColour(colour));
            if (screen.pixel(x, y) != toRgb32(expected) && wrong++ == 0)
                ADD_FAILURE() << "first wrong pixel at (" << x << ", " << y << ")";
        }
    EXPECT_EQ(wrong, 0);
}

// Preview pixel (x, y) is emulator pixel (2x + 1, 2y): the right one of
// mode 0's two screen pixels, as the painter shows.
void expectPreviewShown(const EmulatedScreen& screen, const PixelSurface& preview)
{
    int wrong = 0;
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            wrong += screen.pixel(2 * x + 1, 2 * y) != preview.scanLine(y)[x];
    EXPECT_EQ(wrong, 0) << "preview pixels the frame does not show";
}

class NulaBoot : public testing::Test {
protected:
    void SetUp() override
    {
        if (!emulatorInstalled())
            GTEST_SKIP() << "jsbeeb is not installed (the npm registry could not be reached)";
    }
    ScratchFolder folder;
};

struct NulaCase {
    int mode;
    Method method;
    NulaFitted nula;
};

class NulaDiscOnEmulator : public NulaBoot, public testing::WithParamInterface<NulaCase> {};

TEST_P(NulaDiscOnEmulator, ShowsItsColoursAndHoldsTheScreenFile)
{
    const NulaCase& test = GetParam();
    const NulaPicture picture = nulaPicture(test.mode, test.method);
    const EmulatedScreen screen = boot(writeDisc(picture.conversion, folder), folder, test.nula);
    expectMemoryHolds(screen, picture.conversion.bytes());
    expectColoursShown(screen, picture.conversion.screen, test.nula);
    if (test.nula == NulaFitted::On)
        expectPreviewShown(screen, picture.preview);
}

std::string caseName(const testing::TestParamInfo<NulaCase>& info)
{
    return "Mode" + std::to_string(info.param.mode) +
           (info.param.nula == NulaFitted::On ? "_WithNula" : "_NulaSwitchedOff");
}

INSTANTIATE_TEST_SUITE_P(, NulaDiscOnEmulator,
                         testing::Values(NulaCase{0, Method::Atkinson, NulaFitted::On},
                                         NulaCase{1, Method::Bayer, NulaFitted::On},
                                         NulaCase{2, Method::FloydSteinberg, NulaFitted::On},
                                         NulaCase{4, Method::SierraLite, NulaFitted::On},
                                         NulaCase{0, Method::Atkinson, NulaFitted::SwitchedOff},
                                         NulaCase{1, Method::Bayer, NulaFitted::SwitchedOff},
                                         NulaCase{2, Method::FloydSteinberg, NulaFitted::SwitchedOff},
                                         NulaCase{4, Method::SierraLite, NulaFitted::SwitchedOff},
                                         NulaCase{5, Method::Stucki, NulaFitted::SwitchedOff}),
                         caseName);

// A compressed slideshow whose first picture is in mode 2's NuLA colours:
// after a key, the second shows in its own colours, a mode 1 picture's
// NuLA ones, or the standard ones of a mode 5 picture, which a palette
// left from the first would spoil; on a machine without NuLA, the mode 1
// picture's nearest standard colours.
struct SlideshowCase {
    bool secondNula;
    NulaFitted nula;
};

class NulaSlideshowOnEmulator : public NulaBoot, public testing::WithParamInterface<SlideshowCase> {};

TEST_P(NulaSlideshowOnEmulator, ShowsTheSecondPictureInItsColours)
{
    const SlideshowCase& test = GetParam();
    const NulaPicture first = nulaPicture(2, Method::FloydSteinberg);
    const NulaPicture second = test.secondNula ? nulaPicture(1, Method::Bayer) : nulaPicture(5, Method::Atkinson, false);
    const std::vector<Slide> slides{{"first", &first.conversion}, {"second", &second.conversion}};
    const auto discs = makeDiscSet(slides, DiscSettings{80, 0, true, DiscKind::Single});
    ASSERT_TRUE(discs.ok()) << discs.failure().message();
    const EmulatedScreen screen = boot(writeFile(discs.value().files.front(), folder), folder, test.nula, 1);
    expectMemoryHolds(screen, second.conversion.bytes());
    if (test.secondNula)
        expectColoursShown(screen, second.conversion.screen, test.nula);
    if (test.nula == NulaFitted::On)
        expectPreviewShown(screen, second.preview);
}

INSTANTIATE_TEST_SUITE_P(, NulaSlideshowOnEmulator,
                         testing::Values(SlideshowCase{true, NulaFitted::On}, SlideshowCase{false, NulaFitted::On},
                                         SlideshowCase{true, NulaFitted::SwitchedOff}),
                         [](const testing::TestParamInfo<SlideshowCase>& info) {
                             return std::string(info.param.secondNula ? "SecondInNulaColours" : "SecondInStandardColours") +
                                    (info.param.nula == NulaFitted::On ? "" : "_NulaSwitchedOff");
                         });

// The real rasterine-convert --nula makes the disc, the screen file and the
// preview PNG of a mode 5 picture.
TEST_F(NulaBoot, CommandLineDiscShowsItsPreview)
{
    QImage image(480, 360, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 479, 255 - y * 255 / 359, ((x / 60 + y / 45) % 2) * 200));
    ASSERT_TRUE(image.save(QString::fromStdString(folder.file("picture.png"))));
    const std::string command = "cd '" + folder.path().string() + "' && '" RASTERINE_CONVERT
                                "' -m 5 --dither stucki --nula -o screen -p preview.png --disc picture.ssd "
                                "picture.png";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const EmulatedScreen screen = boot(folder.path() / "picture.ssd", folder, NulaFitted::On);
    expectMemoryHolds(screen, readBytes(folder.path() / "screen"));
    QImage preview(QString::fromStdString(folder.file("preview.png")));
    preview = preview.convertToFormat(QImage::Format_RGB32);
    BufferSurface surface(kPictureWidth, kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            surface.scanLine(y)[x] = preview.pixel(x, y);
    ASSERT_EQ(screen.width, kFrameWidth);
    expectPreviewShown(screen, surface);
}

}  // namespace
