// What a mode 7 row shows, cell by cell, and how a cell is drawn: the
// SAA5050's control codes as jsbeeb applies them, and its pixel geometry.
#include "conversion/teletext_chip.h"
#include "conversion/teletext_glyphs.h"
#include "conversion/teletext_renderer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::uint8_t kRed = 0x91, kGreen = 0x92, kBlue = 0x94, kSeparated = 0x9A, kContiguous = 0x99,
                       kBlack = 0x9C, kNew = 0x9D, kHold = 0x9E, kRelease = 0x9F, kFull = 0xFF;

std::vector<CellLook> looksOf(const std::vector<std::uint8_t>& row)
{
    ChipState state;
    std::vector<CellLook> looks;
    for (const std::uint8_t byte : row)
        looks.push_back(showCell(state, byte));
    return looks;
}

CellLook look(Sixels sixels, bool separated, int fg, int bg)
{
    return CellLook{sixels, separated, static_cast<std::uint8_t>(fg), static_cast<std::uint8_t>(bg)};
}

}  // namespace

TEST(TeletextChip, ColourCodesActFromTheNextCellShowingSpaceOrTheHeldMosaic)
{
    // Without hold a colour code is a space; the new colour starts after it.
    EXPECT_EQ(looksOf({kRed, kFull, kGreen, kFull}),
              (std::vector<CellLook>{look(0, false, 7, 0), look(63, false, 1, 0), look(0, false, 1, 0),
                                     look(63, false, 2, 0)}));
    // With hold the code's cell repeats the last mosaic in the old colour;
    // hold acts on its own cell (nothing is held yet there).
    EXPECT_EQ(looksOf({kRed, kHold, 0xB5, kGreen, kFull}),
              (std::vector<CellLook>{look(0, false, 7, 0), look(0, false, 1, 0), look(21, false, 1, 0),
                                     look(21, false, 1, 0), look(63, false, 2, 0)}));
    // Hold only matters in graphics mode: the first graphics code is a space.
    EXPECT_EQ(looksOf({kHold, kRed})[1], look(0, false, 7, 0));
}

TEST(TeletextChip, ReleaseActsFromTheNextCellAndAControlCodeWithoutHoldForgetsTheMosaic)
{
    EXPECT_EQ(looksOf({kRed, kHold, 0xB5, kRelease, kBlack, kHold}),
              (std::vector<CellLook>{look(0, false, 7, 0), look(0, false, 1, 0), look(21, false, 1, 0),
                                     look(21, false, 1, 0), look(0, false, 1, 0), look(0, false, 1, 0)}));
}

TEST(TeletextChip, BackgroundCodesActOnTheirOwnCell)
{
    // &9D takes the colour in force, so its own cell is a solid block; a
    // colour code just before it has already taken effect for it.
    EXPECT_EQ(looksOf({kRed, kNew, 0xA0, kBlue, kNew, kBlack, kFull}),
              (std::vector<CellLook>{look(0, false, 7, 0), look(0, false, 1, 1), look(0, false, 1, 1),
                                     look(0, false, 1, 1), look(0, false, 4, 4), look(0, false, 4, 0),
                                     look(63, false, 4, 0)}));
}

TEST(TeletextChip, AHeldMosaicKeepsTheStyleItWasDrawnIn)
{
    EXPECT_EQ(looksOf({kRed, kSeparated, kFull, kHold, kContiguous, kFull, kSeparated, kGreen}),
              (std::vector<CellLook>{look(0, false, 7, 0), look(0, false, 1, 0), look(63, true, 1, 0),
                                     look(63, true, 1, 0), look(63, true, 1, 0), look(63, false, 1, 0),
                                     look(63, false, 1, 0), look(63, false, 1, 0)}));
}

TEST(TeletextGlyphs, EachContiguousSixelFillsItsOwnRectangleOfTheCell)
{
    for (int sixel = 0; sixel < 6; ++sixel)
        for (int line = 0; line < kCellLines; ++line)
            for (int x = 0; x < kCellPixels; ++x) {
                const bool inside = x / 8 == sixel % 2 && line >= kSixelRowLine[sixel / 2] &&
                                    line < kSixelRowLine[sixel / 2 + 1];
                EXPECT_EQ(glyphWeight(static_cast<Sixels>(1 << sixel), false, x, line), inside ? 3 : 0)
                    << "sixel " << sixel << " x " << x << " line " << line;
            }
}

TEST(TeletextGlyphs, SeparatedSixelsLoseTheirFirstDotColumnAndLastDotRow)
{
    // Dot columns are 16/6 pixels wide: pixels 0..1 are dark, pixel 2 a third
    // lit, 3..7 lit; dot rows are 2 lines: the sixel rows' last ones are dark.
    const std::vector<int> leftColumn{0, 0, 1, 3, 3, 3, 3, 3, 0, 0, 1, 3, 3, 3, 3, 3};
    for (int line = 0; line < kCellLines; ++line) {
        const bool gap = line == 4 || line == 5 || line == 12 || line == 13 || line == 18 || line == 19;
        for (int x = 0; x < kCellPixels; ++x)
            EXPECT_EQ(glyphWeight(63, true, x, line), gap ? 0 : leftColumn[static_cast<std::size_t>(x)])
                << "x " << x << " line " << line;
    }
}

TEST(TeletextRenderer, DrawsCellsOf16By20InPureColoursAndLetterboxesThePreview)
{
    TeletextScreen screen;
    for (int row = 0; row < kTeletextRows; ++row) {
        screen.at(0, row) = kGreen;
        for (int column = 1; column < kTeletextColumns; ++column)
            screen.at(column, row) = row == 24 && column == 39 ? 0xA0 : kFull;
    }
    BufferSurface frame(kTeletextWidth, kTeletextHeight);
    drawTeletext(screen, frame);
    EXPECT_EQ(frame.pixel(15, 499), RGB(0, 0, 0));      // column 0: the code's space
    EXPECT_EQ(frame.pixel(16, 0), RGB(0, 255, 0));      // column 1 starts at pixel 16
    EXPECT_EQ(frame.pixel(623, 499), RGB(0, 255, 0));
    EXPECT_EQ(frame.pixel(624, 480), RGB(0, 0, 0));     // the last cell is blank
    EXPECT_EQ(teletextPixel(2, 0, 1), RGB(0, 154, 0));  // a third: (1/3)^(1/2.2)

    BufferSurface preview(320, 256);
    preview.setPixel(100, 0, RGB(1, 2, 3));
    paintTeletext(screen, preview);
    for (const int y : {0, 2, 253, 255})
        EXPECT_EQ(preview.pixel(100, y), RGB(0, 0, 0)) << y;
    EXPECT_EQ(preview.pixel(8, 3), RGB(0, 255, 0));
    EXPECT_EQ(preview.pixel(7, 252), RGB(0, 0, 0));
    EXPECT_EQ(preview.pixel(311, 252), RGB(0, 255, 0));
    EXPECT_EQ(preview.pixel(312, 252), RGB(0, 0, 0));
}
