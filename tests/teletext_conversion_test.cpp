// The mode 7 converter: the row programme against brute force, and what
// every converted screen must hold.
#include "tests/engine_steps.h"
#include "conversion/classic/conversion_pass.h"
#include "conversion/entry/picture_conversion.h"
#include "conversion/screen_modes.h"
#include "conversion/teletext/row_programme.h"
#include "conversion/option_catalogue.h"
#include "conversion/teletext/teletext_conversion.h"
#include "outputs/screen_files.h"
#include "outputs/side_file.h"
#include "conversion/teletext_renderer.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <set>

namespace {

// Samples of random colours: a target no mode 7 row shows exactly.
LinearImage randomSamples(std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> component(0, 1);
    LinearImage sixels(2 * kTeletextColumns, 10 * kTeletextRows);
    for (LinearRgb& p : sixels.pixels)
        p = LinearRgb{component(random), component(random), component(random)};
    return sixels;
}

// The least cost over every row from cell `i` on, from `state`, whose
// characters are control codes or (after column 0) mosaics: every such row
// is tried, sharing the cost of the cells before `i`.
float bruteForceMinimum(std::span<const CellCosts> cells, std::size_t i = 0, const ChipState& state = {})
{
    if (i == cells.size())
        return 0;
    std::vector<std::uint8_t> alphabet(rowControlCodes().begin(), rowControlCodes().end());
    for (int sixels = 0; i > 0 && sixels < 64; ++sixels)
        alphabet.push_back(mosaicByte(static_cast<Sixels>(sixels)));
    float best = std::numeric_limits<float>::max();
    for (const std::uint8_t byte : alphabet) {
        ChipState next = state;
        const float here = lookCost(cells[i], showCell(next, byte));
        best = std::min(best, here + bruteForceMinimum(cells, i + 1, next));
    }
    return best;
}

// A screen of random contiguous mosaics and control codes (colour changes,
// hold and release, black background), a graphics colour first. Without new
// background every mosaic shows where it is drawn, so it is the cheapest
// there, which is where the row programme looks for mosaics to hold.
TeletextScreen randomContiguousScreen(std::uint32_t seed)
{
    std::mt19937 random(seed);
    TeletextScreen screen;
    for (int row = 0; row < kTeletextRows; ++row) {
        screen.at(0, row) = teletext_code::graphicsColour(1 + static_cast<int>(random() % 7));
        for (int column = 1; column < kTeletextColumns; ++column) {
            const std::uint8_t code = rowControlCodes()[random() % rowControlCodes().size()];
            const bool useCode = random() % 4 == 0 && code != teletext_code::separated &&
                                 code != teletext_code::newBackground;
            screen.at(column, row) = useCode ? code : mosaicByte(static_cast<Sixels>(random() % 64));
        }
    }
    return screen;
}

bool isMosaic(std::uint8_t byte)
{
    return (byte >= 0xA0 && byte <= 0xBF) || byte >= 0xE0;
}

}  // namespace

TEST(RowProgramme, FindsTheBruteForceMinimumOnShortRows)
{
    for (const std::uint32_t seed : {1u, 2u, 3u}) {
        const std::vector<CellCosts> all = rowCosts(randomSamples(seed), 5);
        const std::span<const CellCosts> cells(all.data(), 4);
        const RowPlan exhaustive = planRow(cells, kExhaustiveSearch);
        EXPECT_NEAR(exhaustive.cost, bruteForceMinimum(cells), 1e-5) << "seed " << seed;
        EXPECT_FLOAT_EQ(rowCost(cells, exhaustive.bytes), exhaustive.cost);
        EXPECT_GE(planRow(cells, RowSearch{}).cost, exhaustive.cost - 1e-5);
    }
}

TEST(RowProgramme, ItsCostIsTheCostOfTheRowItWritesAndPruningCostsLittle)
{
    ConversionState state;
    state.setStartValues();
    fillRandomPlanes(state, 7);
    // A smooth picture with a noisy one: rows where hold and colour changes pay.
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            state.red(x, y) = x * 255 / 320, state.green(x, y) = y * 2, state.blue(x, y) = 255 - x * 255 / 320;
    const LinearImage samples = sixelSamples(planesLinear(state));
    for (const int row : {4, 20}) {
        const std::vector<CellCosts> cells = rowCosts(samples, row);
        const RowPlan plan = planRow(cells, RowSearch{});
        EXPECT_FLOAT_EQ(rowCost(cells, plan.bytes), plan.cost);
        const RowPlan wide = planRow(cells, RowSearch{8, 0, false});
        EXPECT_LE(plan.cost, wide.cost * 1.02f) << "row " << row;
    }
}

TEST(TeletextConversion, WritesOnlyGraphicsCodesAndMosaicsWithACodeFirstAndIsDeterministic)
{
    const std::set<std::uint8_t> codes(rowControlCodes().begin(), rowControlCodes().end());
    EXPECT_EQ(codes.count(0x88) + codes.count(0x8C) + codes.count(0x8D) + codes.count(0x98), 0u);
    for (const std::uint32_t seed : {11u, 12u}) {
        ConversionState state;
        state.setStartValues();
        fillRandomPlanes(state, seed);
        BufferSurface preview(320, 256), again(320, 256), painted(320, 256);
        const Conversion result = convertTeletext(state, preview);
        ASSERT_EQ(result.bytes().size(), 1000u);
        EXPECT_EQ(infFileText(result), "$.SCREEN   007C00 000000 0003E8\n");
        for (int row = 0; row < kTeletextRows; ++row)
            EXPECT_TRUE(codes.count(teletextScreen(result.screen).at(0, row))) << "row " << row;
        for (const std::uint8_t byte : result.bytes())
            EXPECT_TRUE(codes.count(byte) || isMosaic(byte)) << int{byte};
        const Conversion second = convertTeletext(state, again);
        EXPECT_EQ(second.bytes(), result.bytes());
        paintTeletext(teletextScreen(result.screen), painted);
        EXPECT_EQ(preview.pixels(), painted.pixels());
    }
}

TEST(TeletextConversion, APictureThatModeSevenShowsExactlyComesBackExactly)
{
    for (const std::uint32_t seed : {21u, 22u, 23u}) {
        const LinearImage shown = teletextLinear(randomContiguousScreen(seed));
        EXPECT_TRUE(teletextLinear(convertToTeletext(shown)).pixels == shown.pixels) << "seed " << seed;
    }
}

// The one engine entry hands mode 7 to the teletext converter, whatever the
// bitmap modes' options say, and frames the source for the 640 x 500 area.
TEST(TeletextConversion, TheEngineEntryConvertsModeSevenWithItsOwnFraming)
{
    auto state = startState();
    fillRandomPlanes(*state, 31);
    BufferSurface expected(320, 256), preview(320, 256);
    const Conversion reference = convertTeletext(*state, expected);
    Settings settings;
    settings.mode = 7;
    settings.halftone = Halftone::Fine;
    settings.stagger = true;
    settings.method = Method::Atkinson;
    EXPECT_EQ(convertWithSettings(settings, *state, LinearImage(), preview).bytes(), reference.bytes());
    EXPECT_EQ(preview.pixels(), expected.pixels());
    EXPECT_EQ(settingsOf(*state).mode, 7);
    EXPECT_TRUE(conversionProblem(*state).has_value());

    // A white picture four times as wide as high, whole: on the 1.18 : 1
    // area it is 148 of the 500 lines high, so the top eight character rows
    // (160 lines) are the blue bar (but for column 0, a control code on the
    // black every row starts with) and the middle row is white.
    LinearImage wide(400, 100);
    std::fill(wide.pixels.begin(), wide.pixels.end(), LinearRgb{1, 1, 1});
    settings.fit = Fit::Whole;
    settings.barColour = 4;
    const LinearImage shown = teletextLinear(teletextScreen(convertWithSettings(settings, *state, wide, preview).screen));
    for (int y = 0; y < 160; ++y)
        for (int x = 16; x < kTeletextWidth; ++x)
            ASSERT_EQ(shown.at(x, y), (LinearRgb{0, 0, 1})) << x << ", " << y;
    float light = 0;
    for (int x = 16; x < kTeletextWidth; ++x)
        light += shown.at(x, 250).g;
    EXPECT_GT(light / (kTeletextWidth - 16), 0.9f);
    EXPECT_TRUE(convertibleMode(7) && !convertibleMode(3));
    EXPECT_EQ(paletteProblem(*paletteNamed("best"), 7)->reason, "mode 7 chooses its own colours");
}

TEST(TeletextMode, HasItsOwnRecordApartFromTheBitmapModes)
{
    EXPECT_EQ(findScreenMode(7), nullptr);
    ASSERT_NE(findTeletextMode(7), nullptr);
    EXPECT_EQ(findTeletextMode(2), nullptr);
    EXPECT_EQ(findTeletextMode(7)->screenStart + findTeletextMode(7)->screenBytes(), 0x7FE8u);
    EXPECT_EQ(screenInfLine(7), "$.SCREEN   007C00 000000 0003E8");
}
