#pragma once

#include "conversion/screen.h"
#include "platform/failure.h"

#include <cstdint>
#include <vector>

// What the raster routine (m6502/raster_show.s) reads, laid out for its
// per-line loop: loaded at kRasterDataOrigin (&2780), 128 bytes and 8 pages.
//   &2780     the register's low byte (&21 or &23), 1 when NuLA colours,
//             1 when they are written by logical colour (nulaByLogicalColour)
//   &27A0     32 bytes written in the vertical blanking: line 0's palette
//             (the video ULA's 16 entries twice, NuLA's 16 pairs, or the
//             logical colours' NuLA pairs repeated)
//   &27C0     for NuLA colours by logical colour, the 16 &FE21 bytes that
//             point each entry at its logical colour's NuLA entry
//   &27D0     for NuLA colours, the 16 &FE21 bytes of the standard colours
//             nearest line 0's, put back when the routine returns
//   &2800 + s * &100 + y   (s = 0..7, y = 1..255) the s-th of the 8 bytes
//             written before line y: the line's writes, repeated to fill
//             8 (an entry written twice in the same colour shows no
//             change), or entry 0's colour as it is for a line without any
inline constexpr int kRasterWritesPerLine = 8;
inline constexpr std::size_t kRasterDataHeaderBytes = 0x80;
inline constexpr std::size_t kRasterDataBytes = kRasterDataHeaderBytes + 8 * 256;

// The routine's data for `screen`, or why the routine cannot show it: a
// line whose changes need more than 8 writes (see raster_budget.h).
Result<std::vector<std::uint8_t>> rasterProgramData(const Screen& screen);
