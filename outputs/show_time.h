#pragma once

#include <cstddef>
#include <cstdint>

// How soon a picture is complete on the BBC Micro, stored whole or packed,
// in 2 MHz cycles, as measured on jsbeeb (model B, DFS 1.2, its 8271 disc
// controller) with tests/emulator/unpack_cycles.mjs. A disc turns at
// 300 rpm with 10 sectors a track: a sector passes the head in 40,000
// cycles, and reading on into the next track, the DFS misses that track's
// first sector and waits a whole revolution more. The catalogue read, the
// seek and the wait for a file's first sector are the same whichever form
// the file takes, so they drop out of the comparison.
inline constexpr std::uint64_t kSectorCycles = 40'000;
inline constexpr std::uint64_t kNextTrackCycles = 400'000;

// *LOAD UNPACK before a packed picture: its catalogue read, the wait for
// its sector and the sector (measured 641,910 cycles on a fresh machine).
inline constexpr std::uint64_t kRoutineLoadCycles = 642'000;

// The cycles to read `sectors` sectors of a file whose first sector is
// `firstInTrack` (0 to 9) of its track, once the head is at that sector.
std::uint64_t fileReadCycles(std::size_t sectors, int firstInTrack);

// The unpacking routine's cycles as the machine spends them: with the
// operating system's interrupts (its 100 Hz timer, vertical sync), which
// took 4.3-4.5 % on top while the routine ran on the emulator (see
// bench/unpack_cycles.sh); 6 % is allowed.
std::uint64_t unpackWallCycles(std::uint64_t routineCycles);

// Whether a packed file of `packedBytes` whose routine takes
// `routineCycles` shows its picture sooner than the screen of `screenBytes`
// stored whole, wherever on its track the file starts: reading the packed
// file, loading the routine (unless it is `routineInMemory`, as after a
// slideshow's first packed picture) and unpacking must take less time than
// reading the screen.
bool packedIsSooner(std::size_t screenBytes, std::size_t packedBytes, std::uint64_t routineCycles,
                    bool routineInMemory = false);
