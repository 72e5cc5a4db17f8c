// Mode 7's left edge: leading control codes that stripe it are rewritten
// unless their colour brings the picture closer by more than the break
// costs, and the rest of every row shows as before.
#include "conversion/teletext/clean_margin.h"
#include "conversion/teletext_renderer.h"

#include <gtest/gtest.h>

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

}  // namespace

// Mid grey (OKLab lightness 0.55) is barely nearer white than black: the
// white blocks go and the edge is black all the way down. Pure white is
// much nearer: they stay. Either way, from the first mosaic on, every cell
// looks as it did.
TEST(TeletextMargin, RewritesStripesUnlessTheirColourTrulyHelps)
{
    for (const bool white : {false, true}) {
        const TeletextScreen before = stripedScreen();
        TeletextScreen after = before;
        cleanLeftMargin(after, plainPicture(white ? 1.0f : 0.166f), 0.5f);
        const TeletextLooks was = cellLooks(before), is = cellLooks(after);
        for (int row = 0; row < kTeletextRows; ++row) {
            const auto cell = [row](int column) { return static_cast<std::size_t>(row * kTeletextColumns + column); };
            const int firstMosaic = row % 2 == 0 ? 3 : 2;
            for (int column = firstMosaic; column < kTeletextColumns; ++column)
                ASSERT_EQ(is[cell(column)], was[cell(column)]) << "row " << row << " column " << column;
            EXPECT_EQ(is[cell(0)].background, white && row % 2 == 0 ? 7 : 0) << "row " << row;
        }
    }
}
