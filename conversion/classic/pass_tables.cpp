#include "conversion/classic/pass_tables.h"

#include "conversion/classic/colour_match.h"

namespace {

void buildColours(const ConversionState& state, PassTables& tables)
{
    for (int code = 0; code < 8; ++code) {
        Color colour;
        const std::int32_t logical =
            matchcol(state, (code & 1) ? 255 : 0, (code & 2) ? 255 : 0, (code & 4) ? 255 : 0,
                     tables.geometry.numcols, colour);
        tables.logical[code] = static_cast<std::uint8_t>(logical < 0 ? 0 : logical);
    }
    tables.logical[kUnvisited] = 0;
}

// With "Stagger", green reads the matrix one column right and two lines down
// of red's place, and blue two columns right and one line down.
void buildThresholds(const ConversionState& state, PassTables& tables)
{
    const int greenColumn = state.stagger ? 1 : 0, greenLine = state.stagger ? 2 : 0;
    const int blueColumn = state.stagger ? 2 : 0, blueLine = state.stagger ? 1 : 0;
    for (int line = 0; line < 16; ++line) {
        LineThresholds& thresholds = tables.thresholds[line];
        for (int column = 0; column < 16; ++column) {
            thresholds.red[column] = 128 - state.mat(column, line);
            thresholds.green[column] =
                128 - state.mat((column + greenColumn) % 16, (line + greenLine) % 16);
            thresholds.blue[column] =
                128 - state.mat((column + blueColumn) % 16, (line + blueLine) % 16);
        }
    }
}

}  // namespace

PassTables buildPassTables(const ConversionState& state)
{
    PassTables tables;
    tables.geometry = modeGeometry(state.curmode);
    buildColours(state, tables);
    buildThresholds(state, tables);
    return tables;
}
