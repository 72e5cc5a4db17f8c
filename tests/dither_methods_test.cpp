// The linear-light methods: properties every method keeps in every mode,
// a known answer, the palette search, and the one engine entry.
#include "tests/engine_steps.h"
#include "conversion/methods/error_diffusion.h"
#include "conversion/methods/method_run.h"
#include "conversion/methods/palette_search.h"
#include "conversion/entry/picture_conversion.h"
#include "conversion/methods/picture_frame.h"
#include "conversion/methods/picture_score.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

float luminance(const LinearRgb& c)
{
    return 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b;
}

// A grey ramp in linear light, black at the left to white at the right.
LinearImage greyRamp(int width, int height)
{
    LinearImage ramp(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float v = (x + 0.5f) / static_cast<float>(width);
            ramp.at(x, y) = LinearRgb{v, v, v};
        }
    return ramp;
}

// Colourful gradients, for the palette search.
LinearImage colourful(int width, int height)
{
    LinearImage picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.at(x, y) = LinearRgb{static_cast<float>(x) / static_cast<float>(width), 0.3f,
                                         static_cast<float>(y) / static_cast<float>(height)};
    return picture;
}

}  // namespace

TEST(DitherMethods, EveryMethodInEveryModeIsValidRepeatableAndKeepsTheMeanTone)
{
    const LinearImage ramp = greyRamp(96, 48);
    float sourceMean = 0;
    for (const LinearRgb& p : ramp.pixels)
        sourceMean += luminance(p) / static_cast<float>(ramp.pixels.size());
    for (const ScreenMode& mode : kScreenModes)
        for (Method method : kAllMethods) {
            if (method == Method::Classic)
                continue;
            SCOPED_TRACE(std::to_string(mode.number) + " " + std::string(methodName(method)));
            const MethodPalette palette = defaultPalette(mode);
            const int scaleX = kDisplayWidth / mode.screenPixelsPerLine();
            const IndexImage first = runMethod(method, ramp, palette, 1.0f, scaleX, 2);
            EXPECT_EQ(first.pixels, runMethod(method, ramp, palette, 1.0f, scaleX, 2).pixels);
            float mean = 0;
            for (std::uint8_t colour : first.pixels) {
                ASSERT_LT(colour, palette.count);
                mean += luminance(palette.linear[colour]) / static_cast<float>(first.pixels.size());
            }
            // Atkinson passes on only three quarters of the error, so by
            // design its light tones come out lighter and dark ones darker.
            if (method != Method::Atkinson) {
                EXPECT_NEAR(mean, sourceMean, 0.02f * sourceMean);
            }
        }
}

TEST(DitherMethods, HalfLightGreyIsHalfWhiteInModeFour)
{
    // Linear 0.5 is sRGB 188: a pattern of half white pixels shows it.
    LinearImage grey(320, 256);
    std::fill(grey.pixels.begin(), grey.pixels.end(), LinearRgb{0.5f, 0.5f, 0.5f});
    const MethodPalette palette = defaultPalette(*findScreenMode(4));
    for (DiffusionKernel kernel : {DiffusionKernel::FloydSteinberg, DiffusionKernel::SierraLite,
                                   DiffusionKernel::Jarvis, DiffusionKernel::Stucki}) {
        const IndexImage result = diffuseError(grey, palette, kernel);
        const auto white = std::count(result.pixels.begin(), result.pixels.end(), 1);
        EXPECT_NEAR(static_cast<double>(white) / static_cast<double>(result.pixels.size()), 0.5, 0.005);
    }
}

TEST(DitherMethods, ErrorDiffusionGivesItsKnownIndicesForEveryKernel)
{
    // Pins the exact output, which the diffusion's fast paths must not move:
    // a hash of the indices for two, three, four and eight colours, full
    // and damped, on a picture with odd sides so that the serpentine rows
    // end unevenly.
    const LinearImage picture = colourful(53, 29);
    const std::array palettes{methodPalette({0, 7}, 2), methodPalette({1, 6}, 2), methodPalette({0, 2, 5}, 3),
                              methodPalette({0, 1, 4, 7}, 4), defaultPalette(*findScreenMode(2))};
    const std::array<std::pair<DiffusionKernel, std::uint64_t>, 5> known{
        {{DiffusionKernel::FloydSteinberg, 9902153266086085568u},
         {DiffusionKernel::Atkinson, 1185591971026384003u},
         {DiffusionKernel::SierraLite, 8633320747990236288u},
         {DiffusionKernel::Jarvis, 16901361651514921957u},
         {DiffusionKernel::Stucki, 14252617973248816080u}}};
    for (const auto& [kernel, hash] : known) {
        std::uint64_t h = 14695981039346656037u;  // FNV-1a
        for (const MethodPalette& palette : palettes)
            for (float damping : {1.0f, 0.8f})
                for (std::uint8_t index : diffuseError(picture, palette, kernel, damping).pixels)
                    h = (h ^ index) * 1099511628211u;
        EXPECT_EQ(h, hash) << static_cast<int>(kernel);
    }
}

TEST(DitherMethods, BestPaletteScoresNoWorseThanAnyCandidate)
{
    const LinearImage picture = colourful(80, 64);
    for (int number : {1, 4}) {
        const ScreenMode& mode = *findScreenMode(number);
        const PaletteJudge judge(picture, mode);
        const double best = judge.score(bestPalette(picture, mode));
        for (const MethodPalette& candidate : candidatePalettes(mode))
            EXPECT_LE(best, judge.score(candidate));
    }
    EXPECT_EQ(candidatePalettes(*findScreenMode(1)).size(), 70u);
    EXPECT_EQ(candidatePalettes(*findScreenMode(0)).size(), 28u);
}

TEST(DitherMethods, PaletteNamesAndTheBasicStatement)
{
    const auto named = paletteNamed("0,4,2,7");
    ASSERT_TRUE(named.has_value());
    EXPECT_FALSE(paletteProblem(*named, 1));
    EXPECT_TRUE(paletteProblem(*named, 0));
    EXPECT_TRUE(paletteProblem(*named, 2));
    EXPECT_FALSE(paletteNamed("0,8").has_value());
    EXPECT_FALSE(paletteNamed("1,,2").has_value());
    const ScreenMode& mode1 = *findScreenMode(1);
    EXPECT_EQ(paletteStatement(defaultPalette(mode1).physical, mode1), "");
    EXPECT_EQ(paletteStatement(named->colours, mode1), "VDU 19,1,4;0;19,2,2;0;");
}

TEST(DitherMethods, DefaultSettingsGiveTheClassicConversionAndOthersTheirPalette)
{
    auto classic = startState();
    fillRandomPlanes(*classic, 7);
    auto state = std::make_unique<ConversionState>(*classic);
    BufferSurface preview(kPictureWidth, kPictureHeight), expected(kPictureWidth, kPictureHeight);
    Settings settings;
    settings.mode = 1;
    settings.halftone = Halftone::Fine;
    applySettings(settings, *classic);
    const Conversion reference = convertScreen(*classic, expected);
    EXPECT_EQ(convertWithSettings(settings, *state, LinearImage(), preview).bytes(), reference.bytes());
    EXPECT_EQ(preview.pixels(), expected.pixels());

    settings.method = Method::Atkinson;
    settings.palette = *paletteNamed("0,4,6,7");
    const Conversion atkinson = convertWithSettings(settings, *state, colourful(500, 300), preview);
    EXPECT_EQ(atkinson.bytes().size(), 20480u);
    EXPECT_EQ(atkinson.screen.palette().physical[1], 4);
    EXPECT_EQ(atkinson.screen.palette().physical[2], 6);
}

// The window abandons a superseded search by throwing from its progress
// report; the throw must come out of the engine, not end the program.
TEST(DitherMethods, AProgressReportThatThrowsAbandonsTheSearch)
{
    struct Abandoned {};
    auto state = startState();
    BufferSurface preview(kPictureWidth, kPictureHeight);
    Settings settings;
    settings.mode = 5;
    settings.method = Method::Dbs;
    int reports = 0;
    const ProgressReport progress = [&reports](double) {
        if (++reports == 3)
            throw Abandoned{};
    };
    EXPECT_THROW(convertWithSettings(settings, *state, colourful(320, 256), preview, progress), Abandoned);
    EXPECT_EQ(reports, 3);
}

TEST(DitherMethods, FitKeepsThePictureShapeOnThePalScreen)
{
    // A square white picture on a 320 x 256 grid of a 15 : 13 screen, whose
    // 320-column pixels are 12/13 as wide as high, is 256 lines high and
    // 256 x 13 / 12 = 277 columns wide.
    LinearImage square(100, 100);
    std::fill(square.pixels.begin(), square.pixels.end(), LinearRgb{1, 1, 1});
    const LinearRgb bar{0, 0, 1};
    const LinearImage whole = framePicture(square, Fit::Whole, bar, 320, 256);
    EXPECT_EQ(whole.at(20, 128), bar);
    EXPECT_EQ(whole.at(21, 128), (LinearRgb{1, 1, 1}));
    EXPECT_EQ(whole.at(297, 128), (LinearRgb{1, 1, 1}));
    EXPECT_EQ(whole.at(298, 128), bar);
    // Filling from a picture twice as wide as high keeps its middle.
    LinearImage wide(200, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            wide.at(x, y) = x < 40 || x >= 160 ? LinearRgb{1, 0, 0} : LinearRgb{0, 1, 0};
    const LinearImage filled = framePicture(wide, Fit::Fill, bar, 160, 256);
    EXPECT_EQ(filled.at(0, 0), (LinearRgb{0, 1, 0}));
    EXPECT_EQ(filled.at(159, 255), (LinearRgb{0, 1, 0}));

    LinearImage adjusted = whole;
    adjustPicture(adjusted, Adjustments{});
    EXPECT_EQ(adjusted.pixels, whole.pixels);
    LinearImage grey(1, 1);
    grey.at(0, 0) = LinearRgb{0.2f, 0.2f, 0.2f};
    adjustPicture(grey, Adjustments{0, 1, 1, 2.0f});
    EXPECT_NEAR(grey.at(0, 0).r, std::sqrt(0.2f), 1e-4f);
}

// A picture of exactly the screen's shape on a television (15 : 13) fills
// every mode's grid with Fit, bar-free, and Fill keeps all of it; one a
// little wider gets bars above and below and loses its sides to Fill.
TEST(DitherMethods, APictureOfTheScreensShapeFitsWithoutBars)
{
    const LinearRgb white{1, 1, 1}, bar{0, 0, 1};
    LinearImage screenShaped(1500, 1300);
    std::fill(screenShaped.pixels.begin(), screenShaped.pixels.end(), white);
    for (const int width : {640, 320, 160}) {
        const LinearImage whole = framePicture(screenShaped, Fit::Whole, bar, width, 256);
        // White, but for the rounding of area averaging.
        EXPECT_TRUE(std::ranges::all_of(whole.pixels, [](const LinearRgb& p) { return p.g > 0.999f; })) << width;
        const PictureCrop kept = fillCrop(1500, 1300, width, 256, pixelAspect(width, 256));
        EXPECT_EQ((std::array{kept.left, kept.top, kept.width, kept.height}), (std::array{0, 0, 1500, 1300}));
    }
    LinearImage wider(1560, 1300);
    std::fill(wider.pixels.begin(), wider.pixels.end(), white);
    const LinearImage whole = framePicture(wider, Fit::Whole, bar, 320, 256);
    EXPECT_EQ(whole.at(160, 4), bar);
    EXPECT_GT(whole.at(160, 128).g, 0.999f);
    EXPECT_LT(fillCrop(1560, 1300, 320, 256, pixelAspect(320, 256)).width, 1560);
}
