#pragma once

#include "conversion/linear_image.h"
#include "conversion/teletext_screen.h"

// The yardstick mode 7 converter, for measuring only: each row gets one
// graphics colour code in column 0 (the colour that suits the row best) on
// black, contiguous mosaics, and each sixel is lit where its area-averaged
// colour is nearer in linear light to that colour than to black.
TeletextScreen plainTeletext(const LinearImage& picture);
