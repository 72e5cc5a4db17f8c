#include "conversion/classic/conversion_state.h"

#include "conversion/screen_modes.h"

#include <array>

namespace {

using Pattern = std::array<std::array<std::int32_t, 4>, 4>;

// Base patterns by (i, j), i from the pixel column. Each holds 0..15 once.
constexpr Pattern kFine{{{8, 7, 11, 4}, {2, 13, 1, 14}, {10, 5, 9, 6}, {0, 15, 3, 12}}};
constexpr Pattern kCoarse{{{9, 13, 0, 2}, {11, 15, 6, 4}, {1, 3, 8, 12}, {7, 5, 10, 14}}};
constexpr Pattern kSpiral{{{3, 4, 5, 6}, {2, 13, 14, 7}, {1, 12, 15, 8}, {0, 11, 10, 9}}};
constexpr Pattern kDiagonal{{{0, 4, 8, 12}, {13, 1, 5, 9}, {10, 14, 2, 6}, {7, 11, 15, 3}}};

void fill(IntArray2<4, 4>& sub, const Pattern& pattern)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            sub(i, j) = pattern[i][j];
}

}  // namespace

void ConversionState::setStartValues()
{
    curmode = 2;
    aspect = 1;
    htone = static_cast<std::int32_t>(Halftone::None);
    stagger = false;
    picwidth = kPictureWidth;
    picheight = kPictureHeight;
}

void InitVars(ConversionState& state)
{
    for (const auto& mode : kScreenModes)
        for (int colour = 0; colour < mode.numcols; ++colour)
            for (int component = 0; component < 3; ++component)
                state.modeclrs(mode.number, colour, component) = mode.palette[colour][component];
    fill(state.sub1, kFine);
    fill(state.sub2, kCoarse);
    fill(state.sub3, kSpiral);
    fill(state.sub4, kDiagonal);
}

Settings settingsOf(const ConversionState& state)
{
    Settings settings;
    settings.mode = state.curmode;
    settings.halftone = static_cast<Halftone>(state.htone);
    settings.stagger = state.stagger;
    return settings;
}

void applySettings(const Settings& settings, ConversionState& state)
{
    state.curmode = settings.mode;
    state.htone = static_cast<std::int32_t>(settings.halftone);
    state.stagger = settings.stagger;
}
