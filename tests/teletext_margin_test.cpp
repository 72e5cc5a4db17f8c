// Mode 7's left edge: the leads that stripe it are rewritten unless their
// colour brings the picture closer by more than the flips cost, the rest of
// every row shows as before, and the flips are counted as the picture shows
// them.
#include "conversion/teletext/clean_margin.h"
#include "conversion/teletext/edge_flips.h"
#include "conversion/teletext/edge_leads.h"
#include "conversion/teletext/row_programme.h"
#include "conversion/teletext_renderer.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Even rows start with a white block (new background in column 0, then black
// background again), odd rows with black; all then draw white mosaics.
TeletextScreen stripedScreen()
{
    TeletextScreen screen;
    for (int row = 0; row < kTeletextRows; ++row) {
        const bool striped = row % 2 == 0;
        screen.at(0, row) = striped ? teletext_code::newBackground : teletext_code::graphicsColour(7);
        screen.at(1, row) = striped ? teletext_code::blackBackground : teletext_code::separated;
        screen.at(2, row) = striped ? teletext_code::graphicsColour(7) : mosaicByte(0x3F);
        for (int column = 3; column < kTeletextColumns; ++column)
            screen.at(column, row) = mosaicByte(static_cast<Sixels>((row * 7 + column) % 64));
    }
    return screen;
}

LinearImage plainPicture(float linear)
{
    LinearImage picture(kTeletextWidth, kTeletextHeight);
    std::fill(picture.pixels.begin(), picture.pixels.end(), LinearRgb{linear, linear, linear});
    return picture;
}

// Rows of random characters: a control code in column 0, then codes and
// mosaics, with runs of rows that start alike so that edges repeat.
TeletextScreen randomScreen(std::uint32_t seed)
{
    std::mt19937 random(seed);
    const auto codes = rowControlCodes();
    TeletextScreen screen;
    for (int row = 0; row < kTeletextRows; ++row) {
        const bool likeAbove = row > 0 && random() % 3 == 0;
        for (int column = 0; column < kTeletextColumns; ++column) {
            const bool code = column == 0 || random() % 3 == 0;
            screen.at(column, row) = likeAbove && column < kLeadCells ? screen.at(column, row - 1)
                                     : code ? codes[random() % codes.size()]
                                            : mosaicByte(static_cast<Sixels>(random() % 64));
        }
    }
    return screen;
}

// A picture of random blocks, each a quarter of a cell, so that it varies
// inside the leads.
LinearImage randomPicture(std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0, 1);
    LinearImage blocks(kTeletextColumns * 2, kTeletextRows * 2);
    for (LinearRgb& p : blocks.pixels)
        p = LinearRgb{unit(random), unit(random), unit(random)};
    LinearImage picture(kTeletextWidth, kTeletextHeight);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.at(x, y) = blocks.at(x / 8, y / 10);
    return picture;
}

// The flips as the definition in edge_flips.h reads, on the drawn picture.
int drawnFlips(const TeletextScreen& screen)
{
    const LinearImage shown = teletextLinear(screen);
    constexpr int kCellWidth = kTeletextWidth / kTeletextColumns, kCellHeight = kTeletextHeight / kTeletextRows;
    int flips = 0;
    bool above = false;
    for (int row = 0; row < kTeletextRows; ++row) {
        int lit = 0;
        for (int y = row * kCellHeight; y < (row + 1) * kCellHeight; ++y)
            for (int x = 0; x < kEdgeFlipCells * kCellWidth; ++x) {
                const LinearRgb& p = shown.at(x, y);
                lit += p.r > 0 || p.g > 0 || p.b > 0;
            }
        const bool isLit = 2 * lit >= kEdgeFlipCells * kCellWidth * kCellHeight;
        flips += row > 0 && isLit != above;
        above = isLit;
    }
    return flips;
}

}  // namespace

// Mid grey (OKLab lightness 0.55) is barely nearer white than black: the
// white blocks go and the edge is dark all the way down. Pure white is much
// nearer: they stay, and the rows between light their edge with a solid
// mosaic instead. Either way no flip is left, and from the end of the lead
// on every cell looks as it did.
TEST(TeletextMargin, RewritesStripesUnlessTheirColourTrulyHelps)
{
    for (const bool white : {false, true}) {
        const TeletextScreen before = stripedScreen();
        TeletextScreen after = before;
        cleanLeftMargin(after, plainPicture(white ? 1.0f : 0.166f), 0.5f);
        const TeletextLooks was = cellLooks(before), is = cellLooks(after);
        for (int row = 0; row < kTeletextRows; ++row) {
            const auto cell = [row](int column) { return static_cast<std::size_t>(row * kTeletextColumns + column); };
            for (int column = kLeadCells; column < kTeletextColumns; ++column)
                ASSERT_EQ(is[cell(column)], was[cell(column)]) << "row " << row << " column " << column;
            EXPECT_EQ(is[cell(0)].background, white && row % 2 == 0 ? 7 : 0) << "row " << row;
        }
        EXPECT_EQ(leftEdgeFlips(after), 0) << (white ? "white" : "grey");
    }
}

// The flips counted from the chip's cell looks are the flips of the drawn
// picture, on screens of every code Rasterine writes.
TEST(TeletextMargin, CountsTheFlipsThePictureShows)
{
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        const TeletextScreen screen = randomScreen(seed);
        EXPECT_EQ(leftEdgeFlips(screen), drawnFlips(screen)) << "seed " << seed;
    }
    EXPECT_EQ(leftEdgeFlips(stripedScreen()), kTeletextRows - 1);
}

// On any screen and picture, whatever a flip costs: no more flips than
// before, every cell after the leads looks exactly as it did, and the pass
// gives the same bytes again; with free flips, nothing changes.
TEST(TeletextMargin, NeverAddsFlipsAndLeavesTheRestOfEveryRow)
{
    int before = 0, after = 0;
    for (std::uint32_t seed = 1; seed <= 8; ++seed)
        for (const float flipCost : {0.0f, 0.2f, 2.0f}) {
            const TeletextScreen screen = randomScreen(seed);
            const LinearImage picture = randomPicture(seed + 100);
            TeletextScreen cleaned = screen;
            cleanLeftMargin(cleaned, picture, flipCost);
            EXPECT_LE(leftEdgeFlips(cleaned), leftEdgeFlips(screen)) << "seed " << seed << " cost " << flipCost;
            if (flipCost == 0) {
                EXPECT_TRUE(cleaned == screen) << "seed " << seed;
            }
            const TeletextLooks was = cellLooks(screen), is = cellLooks(cleaned);
            for (int row = 0; row < kTeletextRows; ++row)
                for (int column = kLeadCells; column < kTeletextColumns; ++column) {
                    const auto cell = static_cast<std::size_t>(row * kTeletextColumns + column);
                    ASSERT_EQ(is[cell], was[cell]) << "seed " << seed << " row " << row << " column " << column;
                }
            TeletextScreen again = screen;
            cleanLeftMargin(again, picture, flipCost);
            EXPECT_TRUE(again == cleaned) << "seed " << seed;
            if (flipCost == 2.0f) {
                before += leftEdgeFlips(screen);
                after += leftEdgeFlips(cleaned);
            }
        }
    EXPECT_LT(after, before / 2) << "a dear flip takes most of them away";
}
