#pragma once

#include "platform/failure.h"
#include "platform/pixel_surface.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What a preview keeps of the picture it was made from: the resolution and
// the text entries the picture's file carried, so a preview written for a
// picture has the same PNG chunks whichever way it was made. Zero dots per
// metre leave the encoder's own default.
struct PngMetadata {
    int dotsPerMetreX = 0;
    int dotsPerMetreY = 0;
    std::vector<std::pair<std::string, std::string>> texts;
};

// The whole PNG file of `picture`: 8-bit RGB without alpha, with `metadata`,
// encoded by Qt's PNG writer so that the bytes stay those earlier versions
// wrote. Fails only when memory runs out.
Result<std::vector<std::uint8_t>> pngBytes(const PixelSurface& picture, const PngMetadata& metadata = {});
