#pragma once

#include "conversion/linear_image.h"
#include "conversion/teletext_chip.h"
#include "conversion/teletext_screen.h"
#include "platform/color.h"
#include "platform/pixel_surface.h"

#include <array>

// The teletext picture at jsbeeb's own resolution: 40 cells of 16 pixels by
// 25 rows of 20 lines (both interlaced fields).
inline constexpr int kTeletextWidth = kTeletextColumns * 16;
inline constexpr int kTeletextHeight = kTeletextRows * 20;

// What every cell shows, row by row, each row starting from the default state.
using TeletextLooks = std::array<CellLook, kTeletextBytes>;
TeletextLooks cellLooks(const TeletextScreen& screen);

// The colour jsbeeb gives a pixel of foreground weight 0..3 (see
// teletext_glyphs.h): foreground and background mixed in linear light by
// weight / 3, then gamma-encoded with exponent 1 / 2.2 as jsbeeb does, but
// on a scale to 255 where jsbeeb's is 240. Weights 0 and 3 give the pure
// physical colours with components 0 or 255.
Color teletextPixel(std::uint8_t foreground, std::uint8_t background, int weight);

// Draws the screen pixel for pixel as jsbeeb draws its teletext area into
// the top left 640 × 500 pixels of `frame`. Letters are drawn as spaces;
// flashing and double height are not drawn.
void drawTeletext(const TeletextScreen& screen, PixelSurface& frame);

// The same picture in linear light, 640 × 500, for measuring.
LinearImage teletextLinear(const TeletextScreen& screen);

// The window's 320 × 256 preview: every other pixel and line of the 640 × 500
// picture (the right pixel of each pair, showing the foreground where it
// covers at least two thirds), letterboxed on lines 3..252 with black above
// and below. `preview` must be 320 × 256.
void paintTeletext(const TeletextScreen& screen, PixelSurface& preview);
