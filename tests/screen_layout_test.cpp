#include "conversion/screen_layout.h"

#include <gtest/gtest.h>

TEST(Packbyte, WorkedBytes)
{
    const std::int32_t allOne[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    const std::int32_t allZero[8] = {};
    for (int mode : {0, 4}) {
        EXPECT_EQ(packbyte(mode, allOne), 0xFF);
        EXPECT_EQ(packbyte(mode, allZero), 0x00);
    }
    const std::int32_t fourColours[4] = {1, 2, 3, 0};
    EXPECT_EQ(packbyte(1, fourColours), 0x6A);
    EXPECT_EQ(packbyte(5, fourColours), 0x6A);
    const std::int32_t magentaYellow[2] = {5, 3};
    EXPECT_EQ(packbyte(2, magentaYellow), 0x27);
    const std::int32_t leftmostOnly[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(packbyte(0, leftmostOnly), 0x80);
}

TEST(Packbyte, ModeTwoNeverSetsTheTopBits)
{
    for (int left = 0; left < 8; ++left)
        for (int right = 0; right < 8; ++right) {
            const std::int32_t pair[2] = {left, right};
            const int byte = packbyte(2, pair);
            EXPECT_EQ(byte & 0xC0, 0);
            // Every pair of colours gives its own byte.
            const int back = ((byte >> 5) & 1) << 2 | ((byte >> 3) & 1) << 1 | ((byte >> 1) & 1);
            EXPECT_EQ(back, left);
        }
}

TEST(ScreenByteOffset, CellsOfEightScanLines)
{
    EXPECT_EQ(screenByteOffset(80, 9, 2), 657u);
    EXPECT_EQ(screenByteOffset(40, 9, 2), 337u);
    EXPECT_EQ(screenByteOffset(80, 0, 0), 0u);
    EXPECT_EQ(screenByteOffset(80, 7, 0), 7u);
    EXPECT_EQ(screenByteOffset(80, 0, 1), 8u);
    EXPECT_EQ(screenByteOffset(80, 255, 79), 20479u);
    EXPECT_EQ(screenByteOffset(40, 255, 39), 10239u);
}
