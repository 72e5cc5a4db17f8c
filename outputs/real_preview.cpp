#include "outputs/real_preview.h"

#include "outputs/png_file.h"
#include "conversion/screen_picture.h"

namespace {

// 96 dots an inch. Left to the encoder, the resolution would be the
// display's in the window and Qt's own 100 dots an inch on the command line.
constexpr int kDotsPerMetre = 3780;

}  // namespace

Result<std::vector<std::uint8_t>> realPreviewPng(const Conversion& conversion)
{
    return pngBytes(screenPicture(conversion.screen).pixels, PngMetadata{kDotsPerMetre, kDotsPerMetre, {}});
}
