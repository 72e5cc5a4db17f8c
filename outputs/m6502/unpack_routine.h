#pragma once

#include "outputs/m6502/assembler.h"

#include <string_view>

// The ZX02 unpacking routine our compressed discs run in the BBC Micro's
// I/O processor (listing: unpack_zx02.s), assembled to run from &0900.
inline constexpr std::uint16_t kUnpackOrigin = 0x0900;

// The listing as kept in the repository.
std::string_view unpackListing();

// The routine assembled at kUnpackOrigin; "screen" and "unpack" are its
// entries. The listing is ours and assembles: a failure is a programming
// mistake.
const Assembly& unpackRoutine();
