#pragma once

#include "conversion/linear_image.h"
#include "conversion/teletext_screen.h"

// Lowers how far the screen, seen slightly blurred, is from the picture
// (the mean OKLab distance between the two, each blurred by a Gaussian of
// sigma 2 display pixels, over a grid of samples 4 display pixels wide and 2
// lines high). Goes cell by cell, row by row and left to right, trying
// other bytes there: in the first of `sweeps` passes every control code, and
// in every pass the mosaic the cell shows and those one sixel away from it.
// A byte is kept when it lowers the distance most and changes the looks of
// no more than the next few cells (a colour code reaches until the chip's
// state along the row is as before). Deterministic.
void refineByBlur(TeletextScreen& screen, const LinearImage& picture, int sweeps);
