#pragma once

#include "outputs/m6502/assembler.h"

#include <cstdint>
#include <string_view>

// The routine that shows a screen whose palette changes line by line
// (listing: raster_show.s), assembled to run from &2500 in the BBC Micro's
// I/O processor; its data pages follow from kRasterDataOrigin (see
// raster_program.h). "entry" is where CALL enters it; "timed_end" ends the
// part that must lie in its first page.
inline constexpr std::uint16_t kRasterOrigin = 0x2500;
inline constexpr std::uint16_t kRasterDataOrigin = 0x2780;

// The listing as kept in the repository.
std::string_view rasterListing();

// The routine assembled at kRasterOrigin. The listing is ours and
// assembles: a failure is a programming mistake.
const Assembly& rasterRoutine();
