#pragma once

#include "platform/failure.h"

#include <cstdint>
#include <string>
#include <vector>

// An Acorn DFS single-sided disc (.ssd): 40 or 80 tracks of 10 sectors of
// 256 bytes, the catalogue in sectors 0 and 1, files from sector 2 on.
inline constexpr int kDfsSectorBytes = 256;
inline constexpr int kDfsSectorsPerTrack = 10;
inline constexpr int kDfsCatalogueSectors = 2;
inline constexpr int kDfsMaxFiles = 31;  // 8-byte entries after an 8-byte header

// The boot option in the catalogue: what Shift+Break does with !BOOT.
enum class BootOption : std::uint8_t { None = 0, Load = 1, Run = 2, Exec = 3 };

struct DiscFile {
    std::string name;        // 1 to 7 printable characters, no space, '.', ':', '"', '#' or '*'
    char directory = '$';
    bool locked = false;
    std::uint32_t load = 0;  // 18 bits are kept: &FF3000 is stored as &33000
    std::uint32_t exec = 0;
    std::vector<std::uint8_t> bytes;
};

struct DiscCatalogue {
    std::string title;       // up to 12 characters
    int tracks = 80;         // 40 or 80
    BootOption boot = BootOption::None;
    std::vector<DiscFile> files;  // laid out from sector 2 in this order
};

// Sectors a file of `bytes` bytes takes.
constexpr int dfsSectors(std::size_t bytes)
{
    return static_cast<int>((bytes + kDfsSectorBytes - 1) / kDfsSectorBytes);
}

// The whole disc image (tracks x 10 x 256 bytes), or why it cannot be made:
// too many files, files that do not fit, a name or title DFS cannot hold.
Result<std::vector<std::uint8_t>> buildDisc(const DiscCatalogue& catalogue);
