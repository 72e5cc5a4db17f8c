// The screen at its real resolution and its PNG: every mode's pixels in the
// palette's colours over the same display area, and PNG files that decode
// to exactly the pixels encoded.
#include "conversion/conversion.h"
#include "conversion/painter.h"
#include "outputs/png_file.h"
#include "conversion/screen_picture.h"

#include <QImage>

#include <gtest/gtest.h>

#include <random>

namespace {

QImage decoded(const std::vector<std::uint8_t>& png)
{
    return QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG").convertToFormat(QImage::Format_RGB32);
}

}  // namespace

// Random logical colours under a palette other than the mode's own: each
// pixel shows its logical colour's physical colour, and the picture covers
// the 640 x 512 display whatever the mode.
TEST(ScreenPicture, ShowsEveryModesPixelsInThePaletteOverTheWholeDisplay)
{
    std::mt19937 random(7);
    for (const ScreenMode& mode : kScreenModes) {
        Conversion conversion;
        conversion.screen = Screen(mode);
        for (std::size_t colour = 0; colour < 8; ++colour)
            conversion.screen.palette().physical[colour] = static_cast<std::uint8_t>(7 - colour);
        for (std::uint8_t& pixel : conversion.screen.pixels)
            pixel = static_cast<std::uint8_t>(random() % static_cast<unsigned>(mode.numcols));

        const ScreenPicture picture = screenPicture(conversion.screen);
        ASSERT_EQ(picture.pixels.width(), mode.screenPixelsPerLine()) << "mode " << mode.number;
        ASSERT_EQ(picture.pixels.height(), 256);
        EXPECT_EQ(picture.displayWidth(), 640);
        EXPECT_EQ(picture.displayHeight(), 512);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < picture.pixels.width(); ++x)
                ASSERT_EQ(picture.pixels.pixel(x, y), physicalRgb(7 - conversion.screen.at(x, y)))
                    << "mode " << mode.number << " at " << x << "," << y;
    }
}

// Noise, flat areas and gradients, so every line filter is chosen somewhere;
// sizes down to one pixel.
TEST(PngFile, DecodesToExactlyThePixelsEncoded)
{
    std::mt19937 random(11);
    for (const auto& [width, height] : {std::pair{1, 1}, {3, 5}, {160, 256}, {640, 500}}) {
        BufferSurface picture(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bool noisy = (y / 7) % 2 == 0;
                picture.setPixel(x, y, noisy ? RGB(int(random()), int(random()), int(random()))
                                             : RGB(x, y, (x + y) / 2));
            }
        const QImage image = decoded(pngBytes(picture).value());
        ASSERT_EQ(image.size(), QSize(width, height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(image.pixel(x, y), picture.scanLine(y)[x]) << width << "x" << height << " at " << x << "," << y;
    }
}
