#pragma once

#include "conversion/linear_image.h"
#include "conversion/teletext_screen.h"

// How far a mode 7 screen looks from the picture it was made from: both in
// the 640 × 500 display space in linear light (the picture area-averaged
// over it, the screen as drawn, each cell 16 × 20), both blurred with a
// Gaussian of sigma 2 display pixels, then the mean Euclidean distance in
// OKLab times 100. 0 is a perfect match.
double teletextScore(const LinearImage& picture, const TeletextScreen& screen);

// A Gaussian blur of `sigma` pixels, edges extended.
LinearImage gaussianBlur(const LinearImage& image, double sigma);
