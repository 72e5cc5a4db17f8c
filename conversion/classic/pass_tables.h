#pragma once

#include "conversion/classic/conversion_state.h"
#include "conversion/screen_modes.h"

#include <array>
#include <cstddef>
#include <cstdint>

// Lookup tables built once at the start of a conversion pass, so that the pass
// itself does no colour matching, no modulo and no mode tests per pixel.
//
// Matching looks only at which of a pixel's three sums reach 128, so a pixel is
// fully described by its code: bit 0 red, bit 1 green, bit 2 blue on. The code
// picks the logical colour. Pixels beyond the picture's width get kUnvisited: logical colour
// 0, nothing painted.
inline constexpr std::uint8_t kUnvisited = 8;
inline constexpr int kPixelCodes = 9;

// Per screen column mod 16: a component, added to its half-tone offset, reaches
// 128 exactly when it is at least the threshold 128 - offset. Comparing with
// the threshold gives the same answer as clamping the sum to 0..255 and then
// comparing, since clamping never moves a value across 128.
template <std::size_t Columns>
struct Thresholds {
    std::array<std::int32_t, Columns> red{};
    std::array<std::int32_t, Columns> green{};
    std::array<std::int32_t, Columns> blue{};
};
using LineThresholds = Thresholds<16>;

struct PassTables {
    ModeGeometry geometry{};
    // By pixel code: the logical colour matchcol picks.
    std::array<std::uint8_t, kPixelCodes> logical{};
    // By scan line mod 16, with "Stagger" shifts for green and blue applied.
    std::array<LineThresholds, 16> thresholds{};
};

// Builds the tables from the state's mode, palette, half-tone matrix and
// Stagger option, using matchcol itself for every entry. Needs InitVars and
// InitMat to have run.
PassTables buildPassTables(const ConversionState& state);

// The code of one pixel from its three source components, against the
// thresholds of its column.
template <std::size_t Columns>
std::uint8_t pixelCode(std::int32_t red, std::int32_t green, std::int32_t blue,
                       const Thresholds<Columns>& thresholds, int column)
{
    return static_cast<std::uint8_t>((red >= thresholds.red[column] ? 1 : 0) |
                                     (green >= thresholds.green[column] ? 2 : 0) |
                                     (blue >= thresholds.blue[column] ? 4 : 0));
}
