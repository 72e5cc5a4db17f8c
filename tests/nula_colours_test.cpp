// Pictures in VideoNuLA colours: every mode and method gives valid 12-bit
// colours, the same bytes every run and the nearest standard colour as the
// fallback; the 32 bytes for &FE23 and the loader's BASIC by worked example.
#include "tests/engine_steps.h"
#include "test_support.h"

#include "conversion/methods/error_diffusion.h"
#include "conversion/entry/picture_conversion.h"
#include "conversion/methods/picture_score.h"
#include "conversion/nula/nula_palette.h"
#include "conversion/painter.h"
#include "conversion/screen_layout.h"
#include "outputs/nula_files.h"
#include "outputs/nula_setup.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// Soft fields of several hues with sharp edges, at a size of its own.
LinearImage fieldsPicture()
{
    LinearImage image(400, 300);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.at(x, y) = LinearRgb{x / 399.0f, (y % 100) / 99.0f, ((x / 50 + y / 75) % 3) * 0.45f};
    return image;
}

Conversion nulaConversion(int mode, Method method, BufferSurface& preview)
{
    Settings settings;
    settings.mode = mode;
    settings.method = method;
    settings.nula = true;
    auto state = startState();
    return convertWithSettings(settings, *state, fieldsPicture(), preview);
}

void expectValidNulaImage(const Screen& image, const PixelSurface& preview)
{
    ASSERT_TRUE(image.palette().nula.has_value());
    const int count = image.logicalColours();
    EXPECT_EQ(count, nulaColourCount(*image.mode));
    for (int logical = 0; logical < kNulaEntries; ++logical) {
        const NulaColour& colour = (*image.palette().nula)[static_cast<std::size_t>(logical)];
        EXPECT_TRUE(colour.red < 16 && colour.green < 16 && colour.blue < 16) << logical;
        if (logical >= count) {
            EXPECT_EQ(colour, NulaColour{}) << "an entry past the mode's colours";
        } else if (logical < 8) {
            EXPECT_EQ(image.palette().physical[static_cast<std::size_t>(logical)], nearestStandardColour(colour));
        }
    }
    for (const std::uint8_t pixel : image.pixels)
        ASSERT_LT(pixel, count);
    // The painter shows each colour as v * 17; preview column 0 is screen
    // pixel 0 in modes 1, 2, 4 and 5 and pixel 1 in mode 0.
    const int shown = image.columns == ColumnMap::Halved ? 1 : 0;
    for (int y = 0; y < kScreenLines; y += 37)
        EXPECT_EQ(preview.scanLine(y)[0], toRgb32(nulaRgb((*image.palette().nula)[image.at(shown, y)])));
}

TEST(NulaColours, EveryModeAndMethodGivesValidColoursAndTheSameBytesEveryRun)
{
    for (const ScreenMode& mode : kScreenModes)
        for (const Method method : kAllMethods) {
            if (method == Method::Classic)
                continue;
            SCOPED_TRACE("mode " + std::to_string(mode.number) + " " + std::string(methodName(method)));
            BufferSurface first(kPictureWidth, kPictureHeight), again(kPictureWidth, kPictureHeight);
            const Conversion conversion = nulaConversion(mode.number, method, first);
            expectValidNulaImage(conversion.screen, first);
            const Conversion repeated = nulaConversion(mode.number, method, again);
            EXPECT_TRUE(repeated.bytes() == conversion.bytes());
            EXPECT_TRUE(repeated.screen == conversion.screen);
        }
}

// The colours are scored with the method that uses them, and never worse
// than the k-means start they are refined from.
TEST(NulaColours, TheSearchBeatsItsStart)
{
    const ScreenMode& mode = *findScreenMode(5);
    const LinearImage grid = areaAverage(fieldsPicture(), mode.screenPixelsPerLine(), kScreenLines);
    const auto scoreOf = [&](const NulaTable& colours) {
        Screen image(mode);
        const MethodPalette palette = nulaMethodPalette(colours, 4);
        image.pixels = diffuseError(grid, palette, DiffusionKernel::FloydSteinberg).pixels;
        image.palette().nula = colours;
        return ScoreReference(areaAverage(grid, kDisplayWidth, kDisplayLines)).distance(displayOf(image));
    };
    const NulaTable start = startingNulaColours(grid, mode);
    const NulaTable chosen = chooseNulaColours(grid, mode, Method::FloydSteinberg, 1.0f);
    EXPECT_LT(scoreOf(chosen), scoreOf(start));
}

TEST(NulaColours, NearestStandardColours)
{
    EXPECT_EQ(nearestStandardColour({0, 0, 0}), 0);
    EXPECT_EQ(nearestStandardColour({15, 15, 15}), 7);
    EXPECT_EQ(nearestStandardColour({14, 1, 2}), 1);
    EXPECT_EQ(nearestStandardColour({1, 2, 13}), 4);
    EXPECT_EQ(nearestStandardColour({15, 14, 1}), 3);
    EXPECT_EQ(nearestStandardColour({2, 2, 3}), 0);
}

// Mode 2's logical colours 8..15 put their bit 3 in bit 7 (left pixel) or 6.
TEST(NulaColours, ModeTwoPacksSixteenColours)
{
    const ScreenMode& mode = *findScreenMode(2);
    const std::int32_t pair[] = {15, 8};
    EXPECT_EQ(packPixels(mode, pair, 16), 0xEA);
    Screen image(mode);
    image.palette().nula = NulaTable{};
    image.line(0)[0] = 15;
    image.line(0)[1] = 8;
    EXPECT_EQ(packScreen(image)[0], 0xEA);
}

// Mode 1, logical colours 0..3 in 0x000, 0xF00, 0x0F8, 0x123: palette
// index i shows logical colour (bit 3 of i) * 2 + (bit 1 of i).
TEST(NulaColours, RegisterBytesAndLoaderForAWorkedExample)
{
    Screen image(*findScreenMode(1));
    image.palette().nula = NulaTable{{{0, 0, 0}, {15, 0, 0}, {0, 15, 8}, {1, 2, 3}}};
    image.palette().physical = {0, 1, 2, 0};
    const std::array<std::uint8_t, 32> expected{
        0x00, 0x00, 0x10, 0x00, 0x2F, 0x00, 0x3F, 0x00, 0x40, 0x00, 0x50, 0x00, 0x6F, 0x00, 0x7F, 0x00,
        0x80, 0xF8, 0x90, 0xF8, 0xA1, 0x23, 0xB1, 0x23, 0xC0, 0xF8, 0xD0, 0xF8, 0xE1, 0x23, 0xF1, 0x23};
    EXPECT_EQ(nulaRegisterBytes(image), expected);
    EXPECT_EQ(nulaSetupStatements(image),
              "?&FE22=&40:FORI%=1TO63STEP2:?&FE23=EVAL(\"&\"+MID$(\"000010002F003F00400050006F007F0080F890F8A123B123"
              "C0F8D0F8E123F123\",I%,2)):NEXT:?&FE22=&11:?&FE20=?&248:FORI%=0TO3:VDU19,I%,VAL(MID$(\"0120\",I%+1,1))"
              ";0;:NEXT:");
    EXPECT_EQ(nulaInfText("$.NULA"), "$.NULA     000900 000000 000020\n");
}

TEST(NulaColours, PaletteIndexesOfEachMode)
{
    const std::array<int, 16> two{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1};
    const std::array<int, 16> four{0, 0, 1, 1, 0, 0, 1, 1, 2, 2, 3, 3, 2, 2, 3, 3};
    for (int index = 0; index < 16; ++index) {
        EXPECT_EQ(logicalColourOfIndex(*findScreenMode(0), index), two[static_cast<std::size_t>(index)]);
        EXPECT_EQ(logicalColourOfIndex(*findScreenMode(5), index), four[static_cast<std::size_t>(index)]);
        EXPECT_EQ(logicalColourOfIndex(*findScreenMode(2), index), index);
    }
}

}  // namespace
