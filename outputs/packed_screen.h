#pragma once

#include "conversion/conversion.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A screen as compressed discs hold it: the ZX02 stream, placed to end just
// below &8000 (the top of every mode's screen), followed by four bytes: the
// screen start and the stream's start, low byte first. *RUN loads it there
// in the I/O processor and enters the unpacking routine's "screen" entry,
// which unpacks it over itself onto the screen.
struct PackedScreen {
    std::vector<std::uint8_t> file;
    std::uint32_t load = 0;  // with &FF0000: the I/O processor
    std::uint32_t exec = 0;
};

inline constexpr std::uint32_t kScreenTop = 0x8000;

// The packed form of `conversion`, or nothing when the screen is better
// stored whole: when its picture would not be complete sooner (reading the
// packed file, loading the routine and unpacking against reading the
// screen; see show_time.h), or when unpacking it in place would overwrite
// stream bytes not yet read (see unpacksInPlace).
// `stream`, when not empty, is the screen's ZX02 stream made already.
std::optional<PackedScreen> packScreen(const Conversion& conversion, std::span<const std::uint8_t> stream = {});

// A slideshow's choice for one screen: loaded once, its routine stays in
// memory for every packed picture after the first, so a picture there
// needs only its own file read and unpacked sooner than its screen.
// `packed` is its packed form when that is sooner with the routine in
// memory, `soonerLoadingRoutine` whether it is also sooner when the
// routine must be loaded for it.
struct SlidePacking {
    std::optional<PackedScreen> packed;
    bool soonerLoadingRoutine = false;
};
SlidePacking packSlide(const Conversion& conversion, std::span<const std::uint8_t> stream = {});

// The packed form of `conversion` placed as packScreen places it, sooner
// or not; nothing when it does not fit below the screen top or cannot be
// unpacked in place.
std::optional<PackedScreen> placePackedScreen(const Conversion& conversion, std::span<const std::uint8_t> stream = {});
// The same for screen memory `memory` that starts at `screenStart`.
std::optional<PackedScreen> placePackedScreen(const std::vector<std::uint8_t>& memory, std::uint32_t screenStart,
                                              std::span<const std::uint8_t> stream = {});

// The unpacking routine's cycles (interrupts masked) for `packed`, entered
// at "screen" as *RUN enters it.
std::uint64_t unpackCycles(const PackedScreen& packed);

// Whether the routine can unpack `stream` to `screenStart` with the stream
// ending at `streamEnd`: every stream byte below page &7F (whose bytes it
// reads from a copy) is read before the screen byte at its address is written.
bool unpacksInPlace(const std::vector<std::uint8_t>& stream, std::uint32_t screenStart, std::uint32_t streamEnd);
