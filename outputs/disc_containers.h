#pragma once

#include "platform/failure.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A double-sided disc (.dsd): the two sides' tracks interleaved, track 0 of
// side 0, track 0 of side 1, track 1 of side 0 ... Each side is a whole DFS
// disc of `tracks` tracks (DFS drive 0 and drive 2); both must have that size.
std::vector<std::uint8_t> doubleSidedImage(std::span<const std::uint8_t> side0, std::span<const std::uint8_t> side2,
                                           int tracks);

// An MMB file as MMFS reads it from an SD card: an 8 KiB table, then one
// 200 KiB slot per disc. The table's first 16 bytes say which discs are in
// drives 0 to 3 after power-on (discs 0, 1, 2 and 3); then each slot has 16
// bytes: the disc's 12-character title and, last, its state (&0F: a disc
// that may be written, &F0: an empty slot). Only the slots used are in the file.
inline constexpr std::size_t kMmbTableBytes = 8192;
inline constexpr std::size_t kMmbSlotBytes = 204800;  // 80 tracks of 10 sectors of 256 bytes
inline constexpr std::size_t kMmbSlots = 511;

struct MmbDisc {
    std::string title;                // up to 12 characters
    std::span<const std::uint8_t> image;  // a single-sided disc of at most 200 KiB
};

// Fails when there are more discs than slots.
Result<std::vector<std::uint8_t>> mmbImage(std::span<const MmbDisc> discs);
