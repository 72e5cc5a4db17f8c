#pragma once

#include "conversion/linear_image.h"
#include "conversion/methods/index_image.h"
#include "conversion/option_catalogue.h"
#include "conversion/methods/picture_score.h"
#include "conversion/screen_modes.h"

#include <optional>
#include <string>
#include <vector>

// The machine's own palette of a mode.
MethodPalette defaultPalette(const ScreenMode& mode);

// Every palette a mode can show: each set of `numcols` different physical
// colours 0..7 (28 pairs, 70 sets of four), colours in ascending order so
// that black, when chosen, is logical colour 0. Mode 2 has just its own.
std::vector<MethodPalette> candidatePalettes(const ScreenMode& mode);

// Ranks palettes for one picture: each is scored by the picture score of a
// quick error diffusion of the picture at a quarter of the mode's grid.
class PaletteJudge {
public:
    // `source` is the picture on the mode's grid.
    PaletteJudge(const LinearImage& source, const ScreenMode& mode);

    double score(const MethodPalette& palette) const;
    // The same, with working room kept from one score to the next.
    double score(const MethodPalette& palette, ScoreScratch& scratch) const;

private:
    LinearImage reduced_;
    int scaleX_;
    ScoreReference reference_;
};

// The candidate the judge scores lowest; the first such in candidate order.
// With `holding`, only candidates that show that physical colour compete
// (the bars of a picture fitted whole must be one flat colour of the palette).
MethodPalette bestPalette(const LinearImage& source, const ScreenMode& mode,
                          std::optional<std::uint8_t> holding = std::nullopt);

// The palette a choice gives; `source` (on the mode's grid) is read for Best.
// The choice must suit the mode (no paletteProblem()).
MethodPalette choosePalette(const PaletteChoice& choice, const ScreenMode& mode, const LinearImage& source,
                            std::optional<std::uint8_t> holding = std::nullopt);

// The BBC BASIC statement that sets up `palette` on a machine in `mode`, e.g.
// "VDU 19,1,4;0;19,2,2;0;", naming only colours that differ from the
// mode's own; empty when none do.
std::string paletteStatement(const std::array<std::uint8_t, 8>& palette, const ScreenMode& mode);
