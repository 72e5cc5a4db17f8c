// The pieces the linear-light methods are built from: the threshold maps,
// the picture score, damping, direct binary search against its start, and
// conversions running side by side.
#include "tests/engine_steps.h"
#include "conversion/methods/error_diffusion.h"
#include "conversion/methods/method_run.h"
#include "conversion/methods/palette_search.h"
#include "conversion/entry/picture_conversion.h"
#include "conversion/methods/picture_score.h"
#include "conversion/methods/threshold_maps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <thread>
#include <utility>

namespace {

// Smooth colours with a sharp edge and a dark corner: something for every
// method to get wrong.
LinearImage testScene(int width, int height)
{
    LinearImage scene(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float u = static_cast<float>(x) / static_cast<float>(width);
            const float v = static_cast<float>(y) / static_cast<float>(height);
            scene.at(x, y) = x > width / 2 ? LinearRgb{0.8f * u, 0.5f * v, 0.2f}
                                           : LinearRgb{0.05f * v, 0.3f * u * v, 0.6f * u};
        }
    return scene;
}

}  // namespace

TEST(DitherBuildingBlocks, ThresholdMapsUseEveryLevelOnceAndBlueNoiseSpreadsItsFirstDots)
{
    for (const ThresholdMap* map : {&bayerMap(), &blueNoiseMap()}) {
        std::vector<float> sorted = map->values;
        std::sort(sorted.begin(), sorted.end());
        for (std::size_t i = 0; i < sorted.size(); ++i)
            ASSERT_FLOAT_EQ(sorted[i], (static_cast<float>(i) + 0.5f) / static_cast<float>(sorted.size()));
    }
    // The darkest tenth of blue noise is dots no two of which touch.
    const ThresholdMap& noise = blueNoiseMap();
    for (int y = 0; y < noise.size; ++y)
        for (int x = 0; x < noise.size; ++x) {
            if (noise.at(x, y) >= 0.1f)
                continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (dx != 0 || dy != 0) {
                        EXPECT_GE(noise.at(x + dx + noise.size, y + dy + noise.size), 0.1f) << x << "," << y;
                    }
        }
}

TEST(DitherBuildingBlocks, ScoreIsZeroForTheSourceAndGrowsWithDifference)
{
    const LinearImage source = testScene(kDisplayWidth / 4, kDisplayLines / 4);
    const ScoreReference reference(source);
    EXPECT_NEAR(reference.distance(source), 0.0, 1e-6);
    EXPECT_NEAR(reference.lightnessSsim(source), 1.0, 1e-6);
    LinearImage darker = source;
    for (LinearRgb& p : darker.pixels)
        p = LinearRgb{p.r * 0.8f, p.g * 0.8f, p.b * 0.8f};
    LinearImage darkest = source;
    for (LinearRgb& p : darkest.pixels)
        p = LinearRgb{p.r * 0.5f, p.g * 0.5f, p.b * 0.5f};
    EXPECT_GT(reference.distance(darker), 0.5);
    EXPECT_GT(reference.distance(darkest), reference.distance(darker));

    // A screen fills the display space: mode 2's pixels are 4 x 2.
    Screen screen(*findScreenMode(2));
    screen.pixels[1] = 7;
    const LinearImage shown = displayOf(screen);
    ASSERT_EQ(shown.width, kDisplayWidth);
    ASSERT_EQ(shown.height, kDisplayLines);
    EXPECT_EQ(shown.at(3, 0), (LinearRgb{}));
    EXPECT_EQ(shown.at(4, 1), (LinearRgb{1, 1, 1}));
    EXPECT_EQ(shown.at(7, 0), (LinearRgb{1, 1, 1}));
    EXPECT_EQ(shown.at(4, 2), (LinearRgb{}));
}

TEST(DitherBuildingBlocks, ScoringLogicalColoursGivesTheScoreOfTheirDisplayToTheBit)
{
    // One scratch for every size, as the palette search keeps one; sides
    // that are not whole groups of four, and pictures smaller than the blur.
    ScoreScratch scratch;
    const std::array palettes{defaultPalette(*findScreenMode(0)), defaultPalette(*findScreenMode(1)),
                              defaultPalette(*findScreenMode(2))};
    for (float sigma : {kScoreSigma, 0.7f, 0.0f})
        for (int scaleX : {1, 2, 4})
            for (int scaleY : {1, 2})
                for (const auto& [width, height] : {std::pair{3, 2}, std::pair{13, 7}, std::pair{41, 30}}) {
                    SCOPED_TRACE(testing::Message() << sigma << " " << scaleX << "x" << scaleY << " " << width
                                                    << "x" << height);
                    const LinearImage picture = testScene(width, height);
                    const ScoreReference reference(testScene(width * scaleX, height * scaleY), sigma);
                    for (const MethodPalette& palette : palettes) {
                        const IndexImage image = diffuseError(picture, palette, DiffusionKernel::FloydSteinberg);
                        EXPECT_EQ(reference.distance(image, palette, scaleX, scaleY, scratch),
                                  reference.distance(expandToDisplay(image, palette, scaleX, scaleY)));
                    }
                }
}

TEST(DitherBuildingBlocks, NoDampingPassesNothingOn)
{
    const LinearImage scene = testScene(40, 20);
    const MethodPalette palette = defaultPalette(*findScreenMode(1));
    const IndexImage plain = diffuseError(scene, palette, DiffusionKernel::Stucki, 0.0f);
    for (int y = 0; y < scene.height; ++y)
        for (int x = 0; x < scene.width; ++x)
            EXPECT_EQ(plain.at(x, y), nearestColour(palette, toOklab(scene.at(x, y))));
}

TEST(DitherBuildingBlocks, DirectBinarySearchBeatsTheDiffusionItStartsFrom)
{
    for (const ScreenMode& mode : kScreenModes) {
        SCOPED_TRACE(mode.number);
        const int scaleX = kDisplayWidth / mode.screenPixelsPerLine();
        const LinearImage grid = testScene(mode.screenPixelsPerLine() / 4, 64);
        const ScoreReference reference(areaAverage(grid, grid.width * scaleX, grid.height * 2));
        const MethodPalette palette = bestPalette(grid, mode);
        const auto score = [&](Method method) {
            return reference.distance(
                expandToDisplay(runMethod(method, grid, palette, 1.0f, scaleX, 2), palette, scaleX, 2));
        };
        EXPECT_LT(score(Method::Dbs), score(Method::FloydSteinberg));
    }
}

TEST(DitherBuildingBlocks, ConversionsSideBySideGiveTheBytesOfOneAlone)
{
    const LinearImage picture = testScene(200, 150);
    const auto convert = [&picture](Method method, int mode) {
        Settings settings;
        settings.mode = mode;
        settings.method = method;
        auto state = std::make_unique<ConversionState>();
        state->setStartValues();
        BufferSurface preview(kPictureWidth, kPictureHeight);
        return convertWithSettings(settings, *state, picture, preview).bytes();
    };
    std::vector<std::uint8_t> together[2];
    {
        std::jthread first([&] { together[0] = convert(Method::BlueNoise, 5); });
        std::jthread second([&] { together[1] = convert(Method::BlueNoise, 4); });
    }
    EXPECT_EQ(together[0], convert(Method::BlueNoise, 5));
    EXPECT_EQ(together[1], convert(Method::BlueNoise, 4));
}
