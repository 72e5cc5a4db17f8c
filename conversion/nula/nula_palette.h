#pragma once

#include "conversion/colour_space.h"
#include "conversion/linear_image.h"
#include "conversion/option_catalogue.h"
#include "conversion/nula_colours.h"
#include "conversion/screen_modes.h"

#include <vector>

// Choosing a picture's VideoNuLA colours: as many 12-bit colours as the
// mode's pixels can number (2 in modes 0 and 4, 4 in modes 1 and 5, 16 in
// mode 2), darkest first, entries past them black. `grid` is the picture on
// the mode's own grid, as the method will dither it.

// How many logical colours a mode has with NuLA.
int nulaColourCount(const ScreenMode& mode);

// The start: k-means in OKLab on the picture (a fixed seed, so the same
// every run), each centre snapped to the nearest 4 bits a channel.
NulaTable startingNulaColours(const LinearImage& grid, const ScreenMode& mode);

// The start, then refined one channel step at a time while the picture
// score of the picture dithered as `method` would dither it (on a quarter
// of the grid; Floyd-Steinberg, dbs's own start, for dbs) goes down.
// At most 140 sets of colours are scored (80 for the ordered methods, whose
// scores cost more): single-threaded, deterministic
// and bounded in time.
NulaTable chooseNulaColours(const LinearImage& grid, const ScreenMode& mode, Method method, float damping);

// One round of Lloyd's k-means: each centre moves to the mean of the
// samples nearest it; a centre that wins no sample stays.
void moveCentres(const std::vector<Oklab>& samples, std::vector<Oklab>& centres);

// The 12-bit colour nearest an OKLab colour, 4 bits a channel.
NulaColour snappedNulaColour(const Oklab& lab);

// The first `count` colours darkest first, ties broken by value.
void sortNulaByLightness(NulaTable& table, int count);
