#pragma once

#include "conversion/linear_image.h"
#include "conversion/teletext_screen.h"

// A row's first cells are control codes, shown as blocks of the background
// in force: rows whose edge is lit there (a new background in column 0
// shows the default white, one in column 1 the row's first colour) and rows
// whose edge is dark draw a band of stripes down the screen's left edge.

// Rewrites the first kLeadCells characters of every row (edge_leads.h) to
// others that leave the chip in the same state after them, so the rest of
// each row shows exactly as before, choosing for the whole screen at once
// the leads whose cost over the picture plus `flipCost` for each flip down
// the edge (edge_flips.h) is least: a dynamic programme down the rows over
// the edge's two states, so that runs of rows share their edge. For the
// finished screen, after any search that does not weigh the edge; `picture`
// is the one the screen was converted from; `flipCost` is in lookCost's
// units (a cell wholly black where the picture is white costs 1).
void cleanLeftMargin(TeletextScreen& screen, const LinearImage& picture, float flipCost);
