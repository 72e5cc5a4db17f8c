#include "conversion/painter.h"
#include "conversion/screen_layout.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>

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

// Every mode record, through the packer and the painter: random logical
// colours and a random palette come back from the bytes as the BBC Micro's
// video hardware reads them, and every preview column shows the physical
// colour of the screen pixel that lands there last.
TEST(ModeRecords, PackerAndPainterFollowEachRecord)
{
    std::mt19937 random(11);
    for (const ScreenMode& mode : kScreenModes) {
        SCOPED_TRACE("mode " + std::to_string(mode.number));
        Screen image(mode);
        std::uniform_int_distribution<int> logical(0, mode.numcols - 1), physical(0, 7);
        for (auto& pixel : image.pixels)
            pixel = static_cast<std::uint8_t>(logical(random));
        for (int colour = 0; colour < mode.numcols; ++colour)
            image.palette().physical[static_cast<std::size_t>(colour)] = static_cast<std::uint8_t>(physical(random));

        const std::vector<std::uint8_t> bytes = packScreen(image);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(mode.screenBytes()));
        const auto decoded = decodeScreen(mode.number, bytes);
        BufferSurface preview(kPictureWidth, kPictureHeight);
        paintScreen(image, preview);
        const int perColumn = image.width() / kPictureWidth;  // 2, 1 or 0 (two columns a pixel)
        for (int y = 0; y < kScreenLines; ++y) {
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(decoded[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)], image.at(x, y));
            for (int column = 0; column < kPictureWidth; ++column) {
                const int shown = perColumn == 2 ? 2 * column + 1 : perColumn == 1 ? column : column / 2;
                ASSERT_EQ(preview.pixel(column, y), physicalRgb(image.palette().physical[image.at(shown, y)]));
            }
        }
    }
}

// Screen memory read back into pixels and packed again gives the same
// bytes in every mode (mode 2 with its 16 NuLA colours, so that every bit
// is a pixel's), and the pixels read back are the ones packed.
TEST(ScreenMemory, UnpackingUndoesPackingInEveryMode)
{
    std::mt19937 random(5);
    for (const ScreenMode& mode : kScreenModes) {
        Screen screen(mode);
        if (mode.bitsPerPixel() == 4)
            screen.palette().nula = NulaTable{};
        std::vector<std::uint8_t> memory(static_cast<std::size_t>(mode.screenBytes()));
        for (std::uint8_t& byte : memory)
            byte = static_cast<std::uint8_t>(random());
        screen.pixels = unpackScreen(mode, memory);
        EXPECT_EQ(screenMemory(screen), memory) << "mode " << mode.number;
        const std::vector<std::uint8_t> pixels = screen.pixels;
        EXPECT_EQ(unpackScreen(mode, screenMemory(screen)), pixels) << "mode " << mode.number;
    }
}
