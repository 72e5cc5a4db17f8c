#pragma once

#include "conversion/screen.h"
#include "outputs/raster_writes.h"
#include "platform/failure.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// FILE.raster: a screen's palette writes, line by line, for programs that
// show the screen file beside it (format: docs/raster-files.md).
//   header   "RAST", the version (1, or 2 for NuLA colours written by
//            logical colour), the mode, the register's low byte (&21 or
//            &23), the number of records less one
//   records  line, count, then `count` bytes written to the register, one
//            record per line whose palette changes, line 0's first (its
//            whole palette), lines rising

// Version 1: each write sets one of the 16 entries the video ULA looks up.
// Version 2 (NuLA colours in modes 0, 1, 4 and 5): each NuLA write sets the
// entry of a logical colour, the video ULA pointing each logical colour's
// entries at it (see nulaByLogicalColour).
inline constexpr std::uint8_t kRasterFileVersion = 1;
inline constexpr std::uint8_t kRasterFileVersionByLogicalColour = 2;
inline constexpr std::size_t kRasterHeaderBytes = 8;

// The file of `screen`, which must change its palette line by line.
std::vector<std::uint8_t> rasterFileBytes(const Screen& screen);

// The writes a raster file holds, for a screen of `mode`, or why it is not
// a well-formed one.
Result<RasterWrites> readRasterWrites(const ScreenMode& mode, std::span<const std::uint8_t> bytes);

// The palette schedule a raster file sets on a screen of `mode`: one
// palette per record, from its line on (with NuLA colours, `physical`
// holds the nearest standard colours). Fails on a malformed file, one for
// another mode, or one whose writes leave a logical colour's entries in
// different colours.
Result<std::vector<LinePalette>> readRasterFile(const ScreenMode& mode, std::span<const std::uint8_t> bytes);

// The .inf line of the raster file named `bbcName`, with a line end: load
// address 0, as it is data that a program reads where it chooses (the
// disc's routine reads its own layout: see raster_program.h).
std::string rasterInfText(const std::string& bbcName, std::size_t bytes);
