#pragma once

#include "conversion/screen.h"
#include "platform/failure.h"

#include <cstdint>
#include <vector>

// What the raster routine (m6502/raster_show.s) reads, laid out for its
// per-line loop: loaded at kRasterDataOrigin (&2700), 9 pages.
//   &2700     the register's low byte (&21 or &23), 1 when NuLA colours
//   &2720     32 bytes written in the vertical blanking: line 0's palette
//             (the video ULA's 16 entries twice, or NuLA's 16 pairs)
//   &2800 + s * &100 + y   (s = 0..7, y = 1..255) the s-th of the 8 bytes
//             written before line y: the line's writes, repeated to fill
//             8 (an entry written twice in the same colour shows no
//             change), or entry 0's colour as it is for a line without any
inline constexpr int kRasterWritesPerLine = 8;
inline constexpr std::size_t kRasterDataBytes = 9 * 256;

// The routine's data for `screen`, or why the routine cannot show it: a
// line whose changes need more than 8 writes (see raster_budget.h).
Result<std::vector<std::uint8_t>> rasterProgramData(const Screen& screen);
