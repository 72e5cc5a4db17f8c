#pragma once

#include "conversion/screen.h"
#include "conversion/linear_image.h"
#include "conversion/teletext/row_programme.h"
#include "conversion/teletext_screen.h"
#include "platform/pixel_surface.h"

#include <cstdint>
#include <string>
#include <vector>

// Converts a picture, stretched over the whole screen (640 × 500 in display
// pixels, so a cell is 16 × 20), to mode 7: each character row is chosen by
// the row programme over the sixel grid. Column 0 of every row is a control
// code. Deterministic.
TeletextScreen convertToTeletext(const LinearImage& picture, const RowSearch& search = RowSearch{});

// Converts `picture`, of any size, framed for the whole teletext area, to
// a mode 7 screen.
Screen convertTeletextPicture(const LinearImage& picture);
