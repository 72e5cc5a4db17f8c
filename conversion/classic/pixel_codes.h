#pragma once

#include "conversion/classic/conversion_state.h"
#include "conversion/classic/pass_tables.h"
#include "conversion/screen_modes.h"

#include <algorithm>
#include <cstdint>

// The mapping of the state's mode, from its record; aspect correction off
// keeps every column.
constexpr ColumnMap columnMap(const ConversionState& state)
{
    const ScreenMode* mode = findScreenMode(state.curmode);
    if (state.aspect <= 0 || mode == nullptr)
        return ColumnMap::Same;
    return mode->columns;
}

// Screen pixels whose source column lies inside the picture: always the
// leftmost ones of a scan line, since the mapping only grows.
constexpr int visiblePixels(ColumnMap map, int picwidth, int screenWidth)
{
    const int count = map == ColumnMap::Halved    ? 2 * picwidth
                      : map == ColumnMap::Doubled ? (picwidth + 1) / 2
                                                  : picwidth;
    return std::clamp(count, 0, screenWidth);
}

// Writes the codes (see pass_tables.h) of the screen pixels 0..screenWidth-1
// of scan line y: the `visible` leftmost from the planes, the rest kUnvisited.
// `thresholds` are those of the scan line.
void lineCodes(ColumnMap map, const ConversionState& state, const LineThresholds& thresholds,
               int y, int visible, int screenWidth, std::int32_t* codes);
