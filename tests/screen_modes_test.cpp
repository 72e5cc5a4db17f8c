#include "conversion/classic/conversion_state.h"
#include "conversion/screen_modes.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <set>

TEST(ScreenModes, TableIsConsistent)
{
    std::set<int> numbers;
    for (const auto& mode : kScreenModes) {
        EXPECT_TRUE(numbers.insert(mode.number).second) << "mode " << mode.number << " twice";
        // A byte holds all of its pixels' colour bits: 8 x 1, 4 x 2 or 2 x 4 bits.
        EXPECT_EQ(mode.pixperbyte * (mode.numcols == 2 ? 1 : mode.numcols == 4 ? 2 : 4), 8);
        EXPECT_EQ(mode.screenStart + mode.screenBytes(), 0x8000u) << "mode " << mode.number;
        const ModeGeometry geometry = modeGeometry(mode.number);
        EXPECT_EQ(geometry.rowbytes, mode.rowbytes);
        EXPECT_EQ(geometry.pixperbyte, mode.pixperbyte);
        EXPECT_EQ(geometry.numcols, mode.numcols);
        for (int colour = 0; colour < 8; ++colour)
            for (int bit : mode.palette[colour])
                EXPECT_TRUE(bit == 0 || bit == 1);
    }
    EXPECT_EQ(findScreenMode(3), nullptr);
    EXPECT_EQ(findScreenMode(6), nullptr);
    EXPECT_EQ(modeGeometry(0).rowbytes * modeGeometry(0).pixperbyte, 640);
    EXPECT_EQ(modeGeometry(5).rowbytes * modeGeometry(5).pixperbyte, 160);
}

TEST(ConversionState, StartsZeroAndTakesStartValues)
{
    ConversionState state;
    EXPECT_EQ(state.curmode, 0);
    EXPECT_EQ(state.picwidth, 0);
    EXPECT_EQ(state.red(320, 256), 0);
    EXPECT_EQ(state.mat(16, 16), 0);
    state.setStartValues();
    EXPECT_EQ(state.curmode, 2);
    EXPECT_EQ(state.htone, 0);
    EXPECT_FALSE(state.stagger);
    EXPECT_EQ(state.aspect, 1);
    EXPECT_EQ(state.picwidth, 320);
    EXPECT_EQ(state.picheight, 256);
}

TEST(InitVars, WritesPalettesAndLeavesTheRestZero)
{
    auto state = startState();
    InitVars(*state);
    const auto once = *state;
    InitVars(*state);
    EXPECT_TRUE(*state == once) << "InitVars is not repeatable";

    auto& c = state->modeclrs;
    // Mode 1 and 5: black, red, yellow, white.
    for (int mode : {1, 5}) {
        EXPECT_EQ(c(mode, 1, 0), 1);
        EXPECT_EQ(c(mode, 1, 1), 0);
        EXPECT_EQ(c(mode, 2, 1), 1);
        EXPECT_EQ(c(mode, 2, 2), 0);
        EXPECT_EQ(c(mode, 3, 2), 1);
    }
    for (int k = 0; k < 8; ++k)  // mode 2: colour k = red + 2 green + 4 blue
        for (int comp = 0; comp < 3; ++comp)
            EXPECT_EQ(c(2, k, comp), (k >> comp) & 1);

    auto zeroFrom = [&](int mode, int firstColour) {
        for (int k = firstColour; k <= 8; ++k)
            for (int comp = 0; comp <= 3; ++comp)
                EXPECT_EQ(c(mode, k, comp), 0) << mode << "," << k << "," << comp;
    };
    zeroFrom(3, 0);
    zeroFrom(6, 0);
    zeroFrom(0, 2);
    zeroFrom(4, 2);
    zeroFrom(1, 4);
    zeroFrom(5, 4);
    zeroFrom(2, 8);
    for (int mode = 0; mode <= 6; ++mode)
        for (int k = 0; k <= 8; ++k)
            EXPECT_EQ(c(mode, k, 3), 0);

    EXPECT_EQ(state->sub1(0, 0), 8);
    EXPECT_EQ(state->sub2(3, 3), 14);
    EXPECT_EQ(state->sub3(1, 1), 13);
    EXPECT_EQ(state->sub4(3, 0), 7);
    // The spare row and column stay zero; nothing else is touched.
    EXPECT_EQ(state->sub1(4, 4), 0);
    EXPECT_EQ(state->curmode, 2);
}

TEST(InitVars, EachBasePatternHoldsEveryLevelOnce)
{
    auto state = startState();
    InitVars(*state);
    for (const auto* sub : {&state->sub1, &state->sub2, &state->sub3, &state->sub4}) {
        std::set<int> levels;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                levels.insert((*sub)(i, j));
        EXPECT_EQ(levels.size(), 16u);
        EXPECT_EQ(*levels.begin(), 0);
        EXPECT_EQ(*levels.rbegin(), 15);
    }
}
