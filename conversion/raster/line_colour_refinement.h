#pragma once

#include "conversion/linear_image.h"
#include "conversion/methods/index_image.h"
#include "conversion/methods/progress_report.h"
#include "conversion/nula_colours.h"
#include "conversion/screen.h"
#include "conversion/settings.h"

#include <stop_token>
#include <vector>

// A picture in VideoNuLA colours that change line by line: each line's
// 12-bit colours and the logical colour of each pixel.
struct NulaLinePicture {
    std::vector<NulaTable> colours;  // one a line
    IndexImage pixels;
};

// Direct binary search with VideoNuLA colours by line, the colours refined
// together with the pixels: the search places the pixels, each line's
// colours are fitted to them (fittedLineColours), the search moves the
// pixels again for the new colours, for a fixed number of rounds; the round
// the picture score rates closest to `grid` is kept. Where the mode lets
// every colour change a line, the search starts from nulaLineColours;
// otherwise from `*onePalette` (its pixels and its colours on every line;
// it may be null where the mode lets every colour change),
// each line then changing at most the raster budget's colours from the line
// above, so that the result starts no worse than one palette.
// Deterministic and bounded in time.
NulaLinePicture searchedNulaLines(const Settings& settings, const ScreenMode& mode, const LinearImage& grid,
                                  const Screen* onePalette, const ProgressReport& progress = {},
                                  std::stop_token stop = {});

// For the quick methods (error diffusion and ordered dithering): the colours
// of nulaLineColours fitted (fittedLineColours) a few times to the pixels
// the method places with them, within the raster budget of the mode.
std::vector<NulaTable> fittedNulaLines(const Settings& settings, const ScreenMode& mode, const LinearImage& grid);
