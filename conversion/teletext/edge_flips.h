#pragma once

#include "conversion/teletext_chip.h"
#include "conversion/teletext_screen.h"

#include <span>

// How striped a mode 7 screen's left edge looks. In the drawn 640 × 500
// picture, a text row's edge is the block of its first kEdgeFlipCells cells
// (32 × 20 display pixels). It is lit when at least half of its pixels are
// not black (a pixel a separated mosaic's dot partly covers counts as lit
// if either colour it mixes is not black), dark otherwise. A flip is a row
// whose edge is lit where the row above is dark, or dark where it is lit:
// 0..24 per screen. Column 0 is always a control code, so a row's edge is
// lit exactly when column 0 shows a coloured background or column 1 is
// wholly lit.
inline constexpr int kEdgeFlipCells = 2;

// Whether a row's edge is lit, from what its first kEdgeFlipCells cells show.
bool litEdge(std::span<const CellLook> edgeLooks);

// The flips down the screen's left edge.
int leftEdgeFlips(const TeletextScreen& screen);
