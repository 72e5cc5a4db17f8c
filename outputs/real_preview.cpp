#include "outputs/real_preview.h"

#include "outputs/png_file.h"
#include "outputs/screen_picture.h"

std::vector<std::uint8_t> realPreviewPng(const Conversion& conversion)
{
    return pngBytes(screenPicture(conversion).pixels);
}
