#include "conversion/colour_space.h"
#include "conversion/perceptual/blurred_error.h"
#include "conversion/perceptual/gaussian_blur.h"
#include "conversion/perceptual/sweeps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <utility>
#include <vector>

namespace {

LinearImage ramp(int width, int height)
{
    LinearImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.at(x, y) = LinearRgb{0.1f * static_cast<float>(x % 7), 0.05f * static_cast<float>(y), 0.3f};
    return image;
}

}  // namespace

TEST(PerceptualError, GaussianTapsAreSymmetricAndSumToOneWhereverTheyAreCutOff)
{
    for (const Gaussian& g : {Gaussian(kScoreSigma), Gaussian(0.5f, 1), Gaussian(1.0f, 3), Gaussian(0.7f)}) {
        const std::vector<float> taps = g.taps();
        ASSERT_EQ(taps.size(), static_cast<std::size_t>(2 * g.radius() + 1));
        EXPECT_NEAR(std::accumulate(taps.begin(), taps.end(), 0.0f), 1.0f, 1e-6f);
        for (std::size_t k = 0; k < taps.size(); ++k)
            EXPECT_EQ(taps[k], taps[taps.size() - 1 - k]);
    }
    EXPECT_EQ(Gaussian(kScoreSigma).radius(), 6);
    // The blur by deviation and the blur by the same taps are one blur.
    const LinearImage image = ramp(11, 9);
    EXPECT_EQ(gaussianBlur(image, kScoreSigma).pixels,
              gaussianBlur(image, gaussianTaps(kScoreSigma), gaussianTaps(kScoreSigma)).pixels);
}

TEST(PerceptualError, ChangesAreJudgedAgainstThePictureAsItNowIs)
{
    const LinearImage target = ramp(5, 4);
    BlurredError<roughCbrt> rough(oklabOf(target, toOklab), target);
    BlurredError<> error(oklabOf(target, toOklabFast<>), ramp(5, 4));
    const LinearRgb step{0.2f, -0.1f, 0.05f}, back{-0.2f, 0.1f, -0.05f};
    for (std::size_t i = 0; i < 20; ++i) {
        EXPECT_NEAR(error.changeIf(i, LinearRgb{}), 0.0f, 1e-6f);
        EXPECT_GT(rough.changeIf(i, step), 0.01f);
        const float away = error.changeIf(i, step);
        EXPECT_GT(away, 0.01f);
        error.add(i, step);  // once added, nothing more to add is no change, and taking it back is a gain
        EXPECT_EQ(error.changeIf(i, LinearRgb{}), 0.0f);
        EXPECT_NEAR(error.changeIf(i, back), -away, 1e-5f);
    }
}

TEST(PerceptualError, SweepsGoRowByRowUntilOneKeepsNothing)
{
    std::vector<std::pair<int, int>> visits;
    int rows = 0, keptAt11 = 0;
    const auto move = [&](int x, int y, int sweep) {
        if (sweep == 0)
            visits.emplace_back(x, y);
        return x == 1 && y == 1 && ++keptAt11 <= 2;  // keeps a change in the first two sweeps only
    };
    EXPECT_EQ(sweepUntilSettled(3, 2, 10, move, [&](int, int) { ++rows; }), 3);
    EXPECT_EQ(visits, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}));
    EXPECT_EQ(rows, 3 * 2);
    keptAt11 = 0;
    EXPECT_EQ(sweepUntilSettled(3, 2, 2, move), 2);  // stopped by the limit while still changing
    EXPECT_EQ(sweepUntilSettled(3, 2, 0, move), 0);
}
