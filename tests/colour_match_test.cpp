#include "conversion/classic/colour_match.h"
#include "conversion/screen_modes.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

struct Matched {
    int index;
    Color colour;
};

Matched match(int mode, int r, int g, int b)
{
    auto state = startState();
    InitVars(*state);
    state->curmode = mode;
    Color colour = RGB(1, 2, 3);
    const int index = matchcol(*state, r, g, b, modeGeometry(mode).numcols, colour);
    return {index, colour};
}

constexpr Color kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0), kYellow = RGB(255, 255, 0),
                kWhite = RGB(255, 255, 255);

}  // namespace

TEST(Matchcol, FourColourTiesGoToTheLowestIndex)
{
    struct Row {
        int r, g, b, index;
        Color colour;
    };
    const Row table[] = {
        {0, 0, 0, 0, kBlack},     {255, 0, 0, 1, kRed},     {0, 255, 0, 0, kBlack},
        {255, 255, 0, 2, kYellow}, {0, 0, 255, 0, kBlack},  {255, 0, 255, 1, kRed},
        {0, 255, 255, 3, kWhite},  {255, 255, 255, 3, kWhite},
    };
    for (int mode : {1, 5})
        for (const auto& row : table) {
            const auto got = match(mode, row.r, row.g, row.b);
            EXPECT_EQ(got.index, row.index) << "mode " << mode << " " << row.r << "," << row.g << "," << row.b;
            EXPECT_EQ(got.colour, row.colour);
        }
}

TEST(Matchcol, ThresholdIsAt128)
{
    EXPECT_EQ(match(2, 127, 127, 127).index, 0);
    EXPECT_EQ(match(2, 128, 128, 128).index, 7);
    EXPECT_EQ(match(2, 128, 127, 127).index, 1);
    EXPECT_EQ(match(2, 127, 128, 127).index, 2);
    EXPECT_EQ(match(2, 127, 127, 128).index, 4);
    EXPECT_EQ(match(2, -5, -300, 255).index, 4);  // negatives are off
}

TEST(Matchcol, TwoColourModesNeedTwoComponentsOn)
{
    for (int mode : {0, 4}) {
        EXPECT_EQ(match(mode, 255, 255, 0).colour, kWhite);
        EXPECT_EQ(match(mode, 255, 0, 0).colour, kBlack);
        EXPECT_EQ(match(mode, 0, 200, 200).index, 1);
        EXPECT_EQ(match(mode, 0, 0, 200).index, 0);
    }
}

TEST(Matchcol, EightColourModeUsesEveryCombination)
{
    const auto got = match(2, 200, 50, 130);
    EXPECT_EQ(got.index, 5);
    EXPECT_EQ(got.colour, RGB(255, 0, 255));
    for (int bits = 0; bits < 8; ++bits)
        EXPECT_EQ(match(2, bits & 1 ? 200 : 10, bits & 2 ? 200 : 10, bits & 4 ? 200 : 10).index, bits);
}

TEST(Matchcol, OutColourComponentsAreAlwaysFullOrOff)
{
    for (int mode : {0, 1, 2, 4, 5})
        for (int v = -20; v < 300; v += 7) {
            const Color c = match(mode, v, 300 - v, v / 2).colour;
            for (int component : {c.red, c.green, c.blue})
                EXPECT_TRUE(component == 0 || component == 255);
        }
}

TEST(Matchcol, NoColoursToOfferGivesNoIndex)
{
    auto state = startState();
    InitVars(*state);
    Color colour = RGB(9, 9, 9);
    EXPECT_EQ(matchcol(*state, 255, 255, 255, 0, colour), -1);
    EXPECT_EQ(colour, kBlack);
    // A count larger than the palette row never reads past it.
    EXPECT_EQ(matchcol(*state, 255, 255, 255, 1000, colour), 7);
}
