#pragma once

#include "conversion/screen.h"
#include "conversion/screen_modes.h"

// How far a screen's colours may change from one scan line to the next when
// they change line by line. The machine's raster routine rewrites the video
// ULA's palette (&FE21), or VideoNuLA's (&FE23), in the horizontal blanking
// before each line: 48 of a line's 128 CPU cycles, each write at least 4,
// and the routine makes 8 writes in a blanking.
//
// A logical colour is 8 of the video ULA's 16 palette entries in modes 0
// and 4 and 4 in modes 1 and 5, all rewritten in the same blanking so that
// no pixel shows a half-changed colour: one standard colour a line in
// modes 0 and 4, two in modes 1 and 5. A NuLA colour is two writes to
// &FE23 for one NuLA entry: in modes 0, 1, 4 and 5 the routine leaves
// NuLA's palette mode off and points each logical colour's video ULA
// entries at NuLA entry of the same number, so every colour of those modes
// fits (2 or 4 colours, 4 or 8 writes); mode 2's 16 colours are 16 entries,
// of which 4 change a line. Line 0's palette is set in the vertical
// blanking, where there is time for all.
struct RasterBudget {
    // Logical colours whose physical colour may change before a line on a
    // machine without VideoNuLA; 0 where the mode has no raster palette.
    int standardColours = 0;
    // Logical colours whose 12-bit colour may change before a line with
    // VideoNuLA; 0 where the mode has no raster palette.
    int nulaColours = 0;

    friend bool operator==(const RasterBudget&, const RasterBudget&) = default;
};

// The routine's budget in each mode: the writes it times into one blanking.
constexpr RasterBudget rasterBudget(const ScreenMode& mode)
{
    switch (mode.number) {
    case 0:
    case 4:
        return {1, 2};  // 8 writes to &FE21, or 2 x 2 to &FE23
    case 1:
    case 5:
        return {2, 4};  // 2 x 4 writes to &FE21, or 4 x 2 to &FE23
    case 2:
        return {0, 4};  // 4 x 2 to &FE23; mode 2 shows all 8 standard colours already
    default:
        return {};
    }
}

// How many logical colours differ between two palettes of `screen`: the
// physical colours of its standard palette, or its 12-bit colours.
int changedColours(const Screen& screen, const LinePalette& from, const LinePalette& to);

// Whether every change in the screen's palette schedule fits the budget of
// its mode (for its kind of colour), starting from line 0, each later entry
// starting on a later line. A screen of one palette always fits.
bool fitsRasterBudget(const Screen& screen);
