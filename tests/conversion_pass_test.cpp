#include "tests/engine_steps.h"
#include "conversion/classic/conversion_pass.h"
#include "conversion/classic/halftone.h"
#include "conversion/screen_layout.h"
#include "conversion/screen_modes.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

constexpr int kModes[] = {0, 1, 2, 4, 5};

// A preview that starts out holding something other than black, so that
// pixels the pass fails to paint show up.
BufferSurface markedPreview()
{
    BufferSurface surface(kPictureWidth, kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            surface.setPixel(x, y, RGB(x & 0xFF, y, 77));
    return surface;
}

void prepare(ConversionState& state, int mode, int tone, bool stagger)
{
    state.curmode = mode;
    state.htone = tone;
    state.stagger = stagger;
    InitVars(state);
    InitMat(state);
}

// Preview column that shows screen pixel px of a mode.
int previewColumn(int mode, int px)
{
    if (mode == 2 || mode == 5)
        return 2 * px;
    if (mode == 0)
        return px / 2;
    return px;
}

}  // namespace

TEST(ConversionPass, MatchesThePixelByPixelPassForEveryOption)
{
    auto state = startState();
    fillRandomPlanes(*state, 2026);
    for (int mode : kModes)
        for (int tone = 0; tone <= 4; ++tone)
            for (bool stagger : {false, true}) {
                SCOPED_TRACE("mode " + std::to_string(mode) + " tone " + std::to_string(tone) +
                             (stagger ? " stagger" : ""));
                prepare(*state, mode, tone, stagger);
                BufferSurface fast = markedPreview();
                BufferSurface slow = markedPreview();
                const Conversion image = convertPlanes(*state, fast);
                EXPECT_EQ(image.bytes(), referencePass(*state, slow));
                EXPECT_EQ(fast.pixels(), slow.pixels());
            }
}

// Narrow pictures end scan lines part-way through a block of pixels the pass
// codes together, aspect correction off gives mode 0 a 640-column source, and
// components outside 0..255 test that thresholds act like clamped sums.
TEST(ConversionPass, MatchesThePixelByPixelPassForUnusualStates)
{
    auto state = startState();
    std::mt19937 random(5);
    std::uniform_int_distribution<int> component(-300, 600);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            state->red(x, y) = component(random);
            state->green(x, y) = component(random);
            state->blue(x, y) = component(random);
        }
    for (const ScreenMode& record : kScreenModes)
        for (int width : {0, 1, 6, 13, 301, 319, 320})
            for (int aspect : {0, 1}) {
                const int mode = record.number;
                SCOPED_TRACE("mode " + std::to_string(mode) + " width " + std::to_string(width) +
                             " aspect " + std::to_string(aspect));
                state->picwidth = width;
                state->picheight = 37 + width % 200;
                state->aspect = aspect;
                prepare(*state, mode, 1 + mode % 4, width % 2 == 1);
                BufferSurface fast = markedPreview();
                BufferSurface slow = markedPreview();
                const Conversion image = convertPlanes(*state, fast);
                ASSERT_EQ(image.bytes(), referencePass(*state, slow));
                ASSERT_EQ(fast.pixels(), slow.pixels());
            }
}

TEST(ConversionPass, PreviewShowsOnlyPaletteColoursThatTheBytesDecodeTo)
{
    auto state = startState();
    fillRandomPlanes(*state, 7);
    for (int mode : kModes)
        for (int tone = 0; tone <= 4; ++tone)
            for (bool stagger : {false, true}) {
                SCOPED_TRACE("mode " + std::to_string(mode) + " tone " + std::to_string(tone));
                prepare(*state, mode, tone, stagger);
                BufferSurface preview = markedPreview();
                const Conversion image = convertPlanes(*state, preview);
                const ScreenMode& record = *findScreenMode(mode);
                ASSERT_EQ(image.bytes().size(), static_cast<std::size_t>(record.screenBytes()));

                std::set<std::uint32_t> palette;
                for (int k = 0; k < record.numcols; ++k)
                    palette.insert(toRgb32(RGB(255 * record.palette[k][0], 255 * record.palette[k][1],
                                               255 * record.palette[k][2])));
                for (std::uint32_t pixel : preview.pixels())
                    ASSERT_TRUE(palette.count(pixel)) << std::hex << pixel;

                const auto logical = decodeScreen(mode, image.bytes());
                const int width = record.screenPixelsPerLine();
                for (int y = 0; y < 256; ++y)
                    for (int px = 0; px < width; ++px) {
                        // In mode 0 the preview keeps the right-hand pixel of each pair.
                        if (mode == 0 && px % 2 == 0)
                            continue;
                        const auto& on = record.palette[logical[px][y]];
                        ASSERT_EQ(preview.pixel(previewColumn(mode, px), y),
                                  RGB(255 * on[0], 255 * on[1], 255 * on[2]))
                            << "pixel " << px << "," << y;
                    }
            }
}

TEST(ConversionPass, AllZeroPlanesGiveAllZeroBytes)
{
    auto state = startState();
    for (int mode : kModes) {
        prepare(*state, mode, 0, false);
        BufferSurface preview = markedPreview();
        const Conversion image = convertPlanes(*state, preview);
        EXPECT_EQ(image.bytes(), std::vector<std::uint8_t>(image.bytes().size(), 0)) << "mode " << mode;
        for (std::uint32_t pixel : preview.pixels())
            ASSERT_EQ(pixel, 0xFF000000u) << "mode " << mode;
    }
}

TEST(ConversionPass, StaggerChangesNothingWithoutHalftone)
{
    auto state = startState();
    fillRandomPlanes(*state, 99);
    for (int mode : kModes) {
        prepare(*state, mode, 0, false);
        BufferSurface plain = markedPreview();
        const auto without = convertPlanes(*state, plain).bytes();
        prepare(*state, mode, 0, true);
        BufferSurface staggered = markedPreview();
        EXPECT_EQ(convertPlanes(*state, staggered).bytes(), without);
        EXPECT_EQ(staggered.pixels(), plain.pixels());
    }
}

TEST(ConversionPass, GreyStaysBlackAndWhiteUnlessStaggered)
{
    auto state = startState();
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            const int grey = (x * 255) / 319;
            state->red(x, y) = state->green(x, y) = state->blue(x, y) = grey;
        }
    for (int mode : kModes)
        for (int tone = 1; tone <= 4; ++tone) {
            prepare(*state, mode, tone, false);
            BufferSurface preview = markedPreview();
            (void)convertPlanes(*state, preview);
            for (std::uint32_t pixel : preview.pixels())
                ASSERT_TRUE(pixel == 0xFF000000u || pixel == 0xFFFFFFFFu) << "mode " << mode;
        }
    prepare(*state, 2, static_cast<int>(Halftone::Fine), true);
    BufferSurface preview = markedPreview();
    (void)convertPlanes(*state, preview);
    bool coloured = false;
    for (std::uint32_t pixel : preview.pixels())
        coloured |= pixel != 0xFF000000u && pixel != 0xFFFFFFFFu;
    EXPECT_TRUE(coloured);
}

TEST(ConversionPass, ModeTwoAveragesNeighbouringSourceColumns)
{
    auto state = startState();
    state->red(10, 0) = 255;  // (255, 0, 0) beside (255, 255, 0) -> (255, 127, 0): red
    state->red(11, 0) = 255;
    state->green(11, 0) = 255;
    state->red(20, 0) = 255;  // 0 and 255 average to 127: off
    prepare(*state, 2, 0, false);
    BufferSurface preview = markedPreview();
    const Conversion image = convertPlanes(*state, preview);
    EXPECT_EQ(preview.pixel(10, 0), RGB(255, 0, 0));
    EXPECT_EQ(preview.pixel(11, 0), RGB(255, 0, 0));
    EXPECT_EQ(preview.pixel(20, 0), RGB(0, 0, 0));
    // Screen pixel 5 is the right-hand pixel of cell 2: red sets bit 0 alone.
    EXPECT_EQ(image.bytes()[screenByteOffset(80, 0, 2)], 0x01);
}

TEST(ConversionPass, ModeZeroGivesEachSourceColumnTwoScreenPixels)
{
    auto state = startState();
    fillPlanes(*state, 0, 0, 0);
    for (int y = 0; y < kPictureHeight; ++y)  // white in source columns 0 and 3
        for (int x : {0, 3})
            state->red(x, y) = state->green(x, y) = state->blue(x, y) = 255;
    prepare(*state, 0, 0, false);
    BufferSurface preview = markedPreview();
    const Conversion image = convertPlanes(*state, preview);
    EXPECT_EQ(image.bytes()[0], 0xC3);  // pixels 0,1 and 6,7 of the first byte
}

TEST(ConversionPass, ScanLinesBeyondThePictureStayBlankAndUnpainted)
{
    auto state = startState();
    fillPlanes(*state, 255, 255, 255);
    state->picheight = 100;
    state->picwidth = 300;
    for (int mode : kModes) {
        prepare(*state, mode, 0, false);
        BufferSurface fast = markedPreview();
        BufferSurface slow = markedPreview();
        const Conversion image = convertPlanes(*state, fast);
        EXPECT_EQ(image.bytes(), referencePass(*state, slow));
        EXPECT_EQ(fast.pixels(), slow.pixels());
        EXPECT_EQ(fast.pixel(5, 200), RGB(5, 200, 77));
        EXPECT_EQ(fast.pixel(310, 5), RGB(310 & 0xFF, 5, 77));
    }
}

TEST(ConversionPass, RefusesStatesItCannotConvert)
{
    auto state = startState();
    EXPECT_FALSE(conversionProblem(*state));
    for (int mode : {3, 6, 9}) {
        state->curmode = mode;
        EXPECT_EQ(*conversionProblem(*state),
                  "screen mode " + std::to_string(mode) + " is not supported");
    }
    state->curmode = 2;
    state->picwidth = 321;
    EXPECT_TRUE(conversionProblem(*state));
}
