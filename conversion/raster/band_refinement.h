#pragma once

#include "conversion/linear_image.h"
#include "conversion/methods/index_image.h"
#include "conversion/option_catalogue.h"

#include <vector>

// How the lines will be dithered, so that sets are weighed by the result
// the method gives: its quick pass (method_run.h) with this damping.
struct BandWeighing {
    Method method = Method::FloydSteinberg;
    float damping = 1.0f;
};

// One set of colours a line (`chain[y]`, an index into `sets`, whose
// physical colours `masks` holds as bits) improved band by band, top to
// bottom: a band of lines may become one set instead, the set among the few
// that `lineCosts[y][set]` rates best over the band, chosen by the band
// dithered by `weighing` with lines of context around it, and kept when the
// whole picture so dithered then scores closer to the picture (the picture
// score, in display space) than before. A band's new set differs
// from the lines above and below it by at most `changes` colours, so the
// chain stays within the raster budget it was made for.
std::vector<int> refinedByBands(const LinearImage& grid, const std::vector<MethodPalette>& sets,
                                const std::vector<unsigned>& masks, const std::vector<std::vector<double>>& lineCosts,
                                std::vector<int> chain, int changes, const BandWeighing& weighing);
