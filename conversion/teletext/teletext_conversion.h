#pragma once

#include "conversion/conversion_pass.h"
#include "conversion/conversion_state.h"
#include "conversion/linear_image.h"
#include "conversion/teletext/row_programme.h"
#include "conversion/teletext/teletext_screen.h"
#include "platform/pixel_surface.h"

#include <cstdint>
#include <string>
#include <vector>

// The picture in linear light: the first picwidth × picheight pixels of the
// state's planes (320 × 256 when the state gives no size).
LinearImage planesLinear(const ConversionState& state);

// Converts a picture, stretched over the whole screen (640 × 500 in display
// pixels, so a cell is 16 × 20), to mode 7: each character row is chosen by
// the row programme over the sixel grid. Column 0 of every row is a control
// code. Deterministic.
TeletextScreen convertToTeletext(const LinearImage& picture, const RowSearch& search = RowSearch{});

// The engine's entry for mode 7: converts the state's planes (the mode,
// half-tone and Stagger settings are not read), paints the result on the
// 320 × 256 `preview` (see paintTeletext) and gives the 1000 bytes of screen
// memory from &7C00 and the .inf line "$.SCREEN   007C00 000000 0003E8".
Conversion convertTeletext(const ConversionState& state, PixelSurface& preview);

// The same for a picture of any size already framed for the whole teletext
// area.
Conversion convertTeletextPicture(const LinearImage& picture, PixelSurface& preview);

// The screen a conversion's 1000 bytes hold.
TeletextScreen teletextScreen(const Conversion& conversion);
