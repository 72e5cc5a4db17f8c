#include "conversion/classic/halftone.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

IntArray2<16, 16> ranksFor(Halftone tone)
{
    auto state = startState();
    InitVars(*state);
    state->htone = static_cast<int>(tone);
    return halftoneRanks(*state);
}

IntArray2<16, 16> matrixFor(Halftone tone)
{
    auto state = startState();
    InitVars(*state);
    state->htone = static_cast<int>(tone);
    InitMat(*state);
    return state->mat;
}

}  // namespace

TEST(InitMat, FineRanksMatchTheFullTable)
{
    const int expected[16][16] = {
        {128, 112, 176, 64, 140, 124, 188, 76, 131, 115, 179, 67, 143, 127, 191, 79},
        {32, 208, 16, 224, 44, 220, 28, 236, 35, 211, 19, 227, 47, 223, 31, 239},
        {160, 80, 144, 96, 172, 92, 156, 108, 163, 83, 147, 99, 175, 95, 159, 111},
        {0, 240, 48, 192, 12, 252, 60, 204, 3, 243, 51, 195, 15, 255, 63, 207},
        {136, 120, 184, 72, 132, 116, 180, 68, 139, 123, 187, 75, 135, 119, 183, 71},
        {40, 216, 24, 232, 36, 212, 20, 228, 43, 219, 27, 235, 39, 215, 23, 231},
        {168, 88, 152, 104, 164, 84, 148, 100, 171, 91, 155, 107, 167, 87, 151, 103},
        {8, 248, 56, 200, 4, 244, 52, 196, 11, 251, 59, 203, 7, 247, 55, 199},
        {130, 114, 178, 66, 142, 126, 190, 78, 129, 113, 177, 65, 141, 125, 189, 77},
        {34, 210, 18, 226, 46, 222, 30, 238, 33, 209, 17, 225, 45, 221, 29, 237},
        {162, 82, 146, 98, 174, 94, 158, 110, 161, 81, 145, 97, 173, 93, 157, 109},
        {2, 242, 50, 194, 14, 254, 62, 206, 1, 241, 49, 193, 13, 253, 61, 205},
        {138, 122, 186, 74, 134, 118, 182, 70, 137, 121, 185, 73, 133, 117, 181, 69},
        {42, 218, 26, 234, 38, 214, 22, 230, 41, 217, 25, 233, 37, 213, 21, 229},
        {170, 90, 154, 106, 166, 86, 150, 102, 169, 89, 153, 105, 165, 85, 149, 101},
        {10, 250, 58, 202, 6, 246, 54, 198, 9, 249, 57, 201, 5, 245, 53, 197},
    };
    const auto ranks = ranksFor(Halftone::Fine);
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; ++j)
            EXPECT_EQ(ranks(i, j), expected[i][j]) << "(" << i << ", " << j << ")";
}

TEST(InitMat, FirstRowOfRanksForEachPattern)
{
    const std::vector<std::pair<Halftone, std::vector<int>>> rows = {
        {Halftone::Coarse, {144, 208, 0, 32, 156, 220, 12, 44, 147, 211, 3, 35, 159, 223, 15, 47}},
        {Halftone::Spiral, {48, 64, 80, 96, 60, 76, 92, 108, 51, 67, 83, 99, 63, 79, 95, 111}},
        {Halftone::Diagonal, {0, 64, 128, 192, 12, 76, 140, 204, 3, 67, 131, 195, 15, 79, 143, 207}},
    };
    for (const auto& [tone, row] : rows) {
        const auto ranks = ranksFor(tone);
        for (int j = 0; j < 16; ++j)
            EXPECT_EQ(ranks(0, j), row[static_cast<std::size_t>(j)]) << "tone " << int(tone) << " j " << j;
    }
}

TEST(InitMat, RanksArePermutationsOfAllLevels)
{
    for (auto tone : {Halftone::Fine, Halftone::Coarse, Halftone::Spiral, Halftone::Diagonal}) {
        const auto ranks = ranksFor(tone);
        std::set<int> seen;
        for (int i = 0; i < 16; ++i)
            for (int j = 0; j < 16; ++j)
                seen.insert(ranks(i, j));
        EXPECT_EQ(seen.size(), 256u);
        EXPECT_EQ(*seen.begin(), 0);
        EXPECT_EQ(*seen.rbegin(), 255);
    }
}

TEST(InitMat, ExactEntriesAfterScaling)
{
    EXPECT_EQ(matrixFor(Halftone::Fine)(0, 0), 0);
    EXPECT_EQ(matrixFor(Halftone::Fine)(1, 6), -90);
    EXPECT_EQ(matrixFor(Halftone::Coarse)(0, 1), 72);
    EXPECT_EQ(matrixFor(Halftone::Coarse)(2, 1), -72);
    EXPECT_EQ(matrixFor(Halftone::Spiral)(0, 0), -72);
    EXPECT_EQ(matrixFor(Halftone::Spiral)(2, 3), 0);
    EXPECT_EQ(matrixFor(Halftone::Diagonal)(0, 2), 0);
    EXPECT_EQ(matrixFor(Halftone::Diagonal)(2, 7), -18);
}

TEST(InitMat, FractionalQuotientsAreTruncatedTowardZero)
{
    EXPECT_EQ(scaledOffset(128), 0);
    EXPECT_EQ(scaledOffset(138), 9);
    EXPECT_EQ(scaledOffset(118), -9);
    EXPECT_EQ(scaledOffset(0), -115);    // -115.2
    EXPECT_EQ(scaledOffset(255), 114);   // 114.3
    EXPECT_EQ(scaledOffset(3), -112);    // -112.5
    EXPECT_EQ(scaledOffset(253), 112);   // 112.5
    EXPECT_EQ(scaledOffset(133), 4);     // 4.5
    EXPECT_EQ(scaledOffset(123), -4);    // -4.5
    EXPECT_EQ(scaledOffset(130), 1);     // 1.8
    EXPECT_EQ(scaledOffset(126), -1);    // -1.8
    // Fine rank 3 sits at (3, 8); rank 255 at (3, 13).
    EXPECT_EQ(matrixFor(Halftone::Fine)(3, 8), -112);
    EXPECT_EQ(matrixFor(Halftone::Fine)(3, 13), 114);
}

TEST(InitMat, NoneIsAllZeroEvenAfterAnotherPattern)
{
    auto state = startState();
    InitVars(*state);
    state->htone = static_cast<int>(Halftone::Spiral);
    InitMat(*state);
    state->htone = static_cast<int>(Halftone::None);
    InitMat(*state);
    for (int i = 0; i <= 16; ++i)
        for (int j = 0; j <= 16; ++j)
            EXPECT_EQ(state->mat(i, j), 0);
}

TEST(InitMat, RebuildsCompletelyEachRun)
{
    auto state = startState();
    InitVars(*state);
    state->htone = static_cast<int>(Halftone::Spiral);
    InitMat(*state);
    state->htone = static_cast<int>(Halftone::Fine);
    InitMat(*state);
    EXPECT_TRUE(state->mat == matrixFor(Halftone::Fine));
    InitMat(*state);
    EXPECT_TRUE(state->mat == matrixFor(Halftone::Fine));
}
