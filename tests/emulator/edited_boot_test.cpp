// A converted screen edited through the Edit window's document (pixels,
// a line, a rectangle, a fill and a palette colour) and put on a boot disc:
// jsbeeb shows the edited document pixel for pixel, and its screen memory
// holds the edited screen file byte for byte.
#include "tests/engine_steps.h"
#include "emulated_boot.h"

#include "conversion/screen_picture.h"
#include "outputs/boot_discs.h"
#include "test_support.h"
#include "ui/edit/screen_document.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

constexpr double kBootSeconds = 8;
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 512;

// Soft colour fields with sharp edges, larger than the screen.
LinearImage fieldsPicture()
{
    LinearImage image(480, 360);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.at(x, y) = LinearRgb{x / 479.0f, y / 359.0f, ((x / 60 + y / 45) % 3) * 0.4f};
    return image;
}

Conversion converted(int mode, bool nula)
{
    Settings settings;
    settings.mode = mode;
    settings.method = Method::FloydSteinberg;
    settings.nula = nula;
    auto state = startState();
    BufferSurface preview(kPictureWidth, kPictureHeight);
    return convertWithSettings(settings, *state, fieldsPicture(), preview);
}

// Edits each tool makes, and logical colour 1's colour changed.
void edit(ScreenDocument& document)
{
    const Screen& screen = document.screen();
    const auto last = std::uint8_t(screen.logicalColours() - 1);
    const std::vector<ScreenPoint> pixels{{0, 0}, {1, 0}, {screen.width() - 1, 255}, {7, 100}};
    document.paint(pixels, last, QStringLiteral("Pencil"));
    document.paint(linePixels({3, 20}, {screen.width() - 5, 60}), 1, QStringLiteral("Line"));
    document.paint(rectanglePixels({10, 150}, {40, 200}), 0, QStringLiteral("Rectangle"));
    document.paint(floodPixels(screen, {20, 170}), last, QStringLiteral("Fill"));
    if (screen.palette().nula)
        document.setNulaColour(0, 1, NulaColour{15, 8, 0});
    else
        document.setPhysicalColour(0, 1, 6);
}

struct EditedCase {
    int mode;
    bool nula;
};

class EditedDiscOnEmulator : public testing::TestWithParam<EditedCase> {
protected:
    void SetUp() override
    {
        if (!emulatorInstalled())
            GTEST_SKIP() << "jsbeeb is not installed (the npm registry could not be reached)";
    }
    ScratchFolder folder;
};

TEST_P(EditedDiscOnEmulator, ShowsTheEditedDocumentPixelForPixel)
{
    const Conversion original = converted(GetParam().mode, GetParam().nula);
    ScreenDocument document(original, QStringLiteral("edited"), QString(), true);
    edit(document);
    const Conversion& edited = document.conversion();
    ASSERT_NE(edited.bytes(), original.bytes());
    ASSERT_NE(edited.screen.palette(), original.screen.palette());

    const auto disc = bootDisc(edited, 80, false);
    ASSERT_TRUE(disc.ok()) << disc.failure().message();
    const auto file = folder.path() / "edited.ssd";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(disc.value().bytes.data()), std::streamsize(disc.value().bytes.size()));
    std::string problem;
    const auto shown = bootOnEmulator(file, folder.path(), kBootSeconds, 0, problem);
    ASSERT_TRUE(shown) << problem;

    const std::vector<std::uint8_t> bytes = edited.bytes();
    ASSERT_EQ(shown->memory.size(), 0x5000u);
    EXPECT_TRUE(std::equal(bytes.rbegin(), bytes.rend(), shown->memory.rbegin())) << "screen memory is not the file";

    // Each screen pixel covers a block of the 640 x 512 frame.
    ASSERT_EQ(shown->width, kFrameWidth);
    ASSERT_EQ(shown->height, kFrameHeight);
    const ScreenPicture picture = screenPicture(edited.screen);
    int wrong = 0;
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x)
            if (shown->pixel(x, y) != picture.pixels.scanLine(y / 2)[x / picture.pixelWidth] && wrong++ == 0)
                ADD_FAILURE() << "first wrong pixel at (" << x << ", " << y << ")";
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(, EditedDiscOnEmulator,
                         testing::Values(EditedCase{1, false}, EditedCase{2, true}, EditedCase{5, false}),
                         [](const testing::TestParamInfo<EditedCase>& info) {
                             return "Mode" + std::to_string(info.param.mode) + (info.param.nula ? "_Nula" : "");
                         });

}  // namespace
