#pragma once

#include "conversion/linear_image.h"
#include "conversion/option_catalogue.h"
#include "conversion/screen_modes.h"

// The width : height of one pixel of a grid `width` pixels across the screen
// (kScreenAspect, its shape on a television) and `lines` down.
double pixelAspect(int width, int lines);

// The picture resampled by area averaging to `width` x `lines` pixels that
// cover the whole screen: stretched to it, whole with bars of `bar` beside
// or above it, or filling it with the overhang cut off equally each side.
LinearImage framePicture(const LinearImage& picture, Fit fit, LinearRgb bar, int width, int lines);

// The same onto a grid of pixels `aspect` times as wide as high, for an area
// of another shape than the bitmap modes' (mode 7's).
LinearImage framePictureAt(const LinearImage& picture, Fit fit, LinearRgb bar, int width, int lines,
                           double aspect);

// The part of a picture `pictureWidth` x `pictureHeight` that Fill keeps for
// a screen of `width` x `lines` pixels, each `aspect` times as wide as high:
// the middle of the picture at the screen's shape.
struct PictureCrop {
    int left = 0, top = 0, width = 0, height = 0;
};
PictureCrop fillCrop(int pictureWidth, int pictureHeight, int width, int lines, double aspect);

// The adjustments applied to every pixel, in this order: gamma, contrast
// (around mid grey as the eye sees it), brightness, saturation; the result is
// held within 0..1. Neutral adjustments leave the image as it was.
void adjustPicture(LinearImage& image, const Adjustments& adjustments);
