#pragma once

#include "conversion/screen.h"

#include <vector>

// The pixels the Edit window's drawing tools touch, in screen pixels (x
// across a scan line, y down the 256 lines). Plain geometry on a Screen,
// with no Qt, so the tools can be tested on their own.
struct ScreenPoint {
    int x = 0;
    int y = 0;

    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Every pixel of the straight line from `from` to `to`, both ends included,
// one pixel a step along the longer axis (Bresenham).
std::vector<ScreenPoint> linePixels(ScreenPoint from, ScreenPoint to);

// The outline, one pixel wide, of the rectangle with corners `a` and `b`,
// each pixel once.
std::vector<ScreenPoint> rectanglePixels(ScreenPoint a, ScreenPoint b);

// The pixels of the area around `start` that holds its logical colour,
// joined edge to edge (not corner to corner); nothing outside the screen.
std::vector<ScreenPoint> floodPixels(const Screen& screen, ScreenPoint start);

// Whether `point` lies on a bitmap screen.
bool onScreen(const Screen& screen, ScreenPoint point);
