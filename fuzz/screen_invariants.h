#pragma once

#include "conversion/classic/conversion_pass.h"
#include "conversion/conversion.h"
#include "conversion/classic/conversion_state.h"
#include "platform/pixel_surface.h"

// Checks one conversion's result and aborts, naming the broken property, if
// it is wrong. Fuzz targets call it after every conversion:
//   - the screen holds 20480 bytes in modes 0, 1, 2 and 10240 in modes 4, 5;
//   - no mode 2 byte has bit 7 or 6 set;
//   - every preview pixel the pass painted is a palette colour of the mode;
//   - the screen bytes, unpacked in BBC Micro screen order, give back the
//     logical colour of every preview pixel that was painted.
// The last two are checked where the whole 320 x 256 picture is converted
// with the source-column mapping on (aspect > 0), as the window does.
void checkScreenInvariants(const ConversionState& state, const std::vector<std::uint8_t>& bytes,
                           const PixelSurface& preview);

// The same for a mode 7 conversion: 1000 bytes; column 0 of every row a
// control code the converter writes; every other byte such a code or a
// mosaic; the preview the 320 x 256 painting of those bytes.
void checkTeletextInvariants(const Conversion& conversion, const PixelSurface& preview);

// Aborts with `what` when `ok` is false; kept in release builds.
void require(bool ok, const char* what);
