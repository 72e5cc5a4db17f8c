#pragma once

#include "conversion/linear_image.h"
#include "conversion/teletext/teletext_screen.h"

// Lowers how far the screen, seen slightly blurred, is from the picture: for
// each mosaic cell in turn (row by row, left to right), tries the mosaics one
// sixel away and keeps one that brings the blurred screen closer to the
// blurred picture (mean OKLab distance over a grid of 4 × 2 display pixel
// samples), as long as no other cell's look changes. `sweeps` passes over
// the screen; deterministic.
void refineByBlur(TeletextScreen& screen, const LinearImage& picture, int sweeps);
