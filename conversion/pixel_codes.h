#pragma once

#include "conversion/conversion_state.h"
#include "conversion/pass_tables.h"

#include <algorithm>
#include <cstdint>

// How screen columns map onto source columns.
enum class ColumnMap {
    Same,     // screen pixel px reads source column px
    Halved,   // mode 0: each source column serves two screen pixels
    Doubled,  // modes 2 and 5: each screen pixel averages two source columns
};

// The mapping of the state's mode; aspect correction off keeps every column.
constexpr ColumnMap columnMap(const ConversionState& state)
{
    if (state.aspect <= 0)
        return ColumnMap::Same;
    if (state.curmode == 2 || state.curmode == 5)
        return ColumnMap::Doubled;
    if (state.curmode == 0)
        return ColumnMap::Halved;
    return ColumnMap::Same;
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
