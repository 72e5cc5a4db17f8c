#pragma once

#include "conversion/linear_image.h"
#include "conversion/methods/index_image.h"
#include "conversion/nula_colours.h"

#include <vector>

// Each line's 12-bit colours fitted to dithered pixels that stay where they
// are: the colours that bring the picture, blurred as the picture score
// blurs it (on the grid, whose pixels are scaleX x scaleY display pixels),
// closest to the blurred source `grid` in linear light, each pixel's error
// weighted by how sharply the eye's lightness responds near the source's
// colour there. Lines are fitted one at a time, top down, the rest of the
// picture held (so each line's fit sees the colours already fitted above),
// and each fitted colour is snapped to 4 bits a channel.
//
// `lines` holds each line's `count` colours as they are; a colour no pixel
// of its line shows stays as it is. Where `changeable` is below `count`, a
// line keeps the colours of the line above (after its fit) except for at
// most `changeable` of them, chosen one by one for what each gains, so that
// the colours stay within the raster budget; line 0 may change all.
// Deterministic.
std::vector<NulaTable> fittedLineColours(const LinearImage& grid, const IndexImage& pixels,
                                         std::vector<NulaTable> lines, int count, int changeable, int scaleX,
                                         int scaleY);
