#pragma once

#include <cstdint>
#include <optional>
#include <span>

// How our unpacking routine (unpack_zx02.s) is entered.
enum class UnpackEntry {
    Screen,  // the disc loaders': page &7F copied first, its stream reads redirected
    Unpack,  // other programs': src and dst already set
};

// The 6502 cycles the routine takes, from its entry to its final RTS, to
// unpack `stream` lying at `streamStart` to `destination`, with interrupts
// masked; or nothing when the stream is not a whole, well-formed one. A
// sum of what each block of the stream costs in the listing's instructions:
// its Elias-gamma codes (by their bits), its bytes copied or read, each bit
// byte fetched, and each page that the stream read, the written bytes or a
// copy's reads cross. Reckoned from the stream alone, not from the parse
// that made it.
std::optional<std::uint64_t> unpackCycles(std::span<const std::uint8_t> stream, std::uint16_t streamStart,
                                          std::uint16_t destination, UnpackEntry entry);
