#pragma once

#include "conversion/methods/index_image.h"

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

// The colours a method may place on each row of its grid: one palette for
// every row, or one a row where the palette changes line by line. Rows that
// show the same colours share one palette, so a method can tell cheaply
// whether two rows differ. Every palette has the same number of colours.
class RowPalettes {
public:
    // Every row in `palette` (implicit: a palette is the common case).
    RowPalettes(const MethodPalette& palette) : distinct_{palette} {}

    // Row y in rows[y]; neighbouring rows of equal colours share an entry.
    explicit RowPalettes(const std::vector<MethodPalette>& rows);

    int count() const { return distinct_.front().count; }
    bool single() const { return distinct_.size() == 1; }
    // Which distinct palette row `y` shows: rows with the same number show
    // the same colours.
    int paletteNumber(int y) const { return single() ? 0 : number_[static_cast<std::size_t>(y)]; }
    const MethodPalette& row(int y) const { return distinct_[static_cast<std::size_t>(paletteNumber(y))]; }
    const MethodPalette& first() const { return distinct_.front(); }
    bool sameColours(int y0, int y1) const { return paletteNumber(y0) == paletteNumber(y1); }

private:
    std::vector<MethodPalette> distinct_;
    std::vector<std::uint16_t> number_;  // by row; empty for a single palette
};
