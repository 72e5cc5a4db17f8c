#pragma once

#include "outputs/dfs_image.h"
#include "platform/failure.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Acorn DFS discs read back: the containers (.ssd, .dsd, .mmb), each DFS
// disc's catalogue and its files' bytes. Bytes in, values out.

enum class DiscContainer { Single, DoubleSided, Mmb };

// The container a file name's ending says (.ssd, .dsd, .mmb, any case).
std::optional<DiscContainer> discContainerOfName(std::string_view fileName);

// The most of a container's bytes that can hold discs: 80 tracks (a side),
// two sides interleaved, or an MMB file's table and all its slots. Bytes
// past it are never read.
std::size_t largestDiscImage(DiscContainer container);

// One DFS disc inside a container: where its tracks lie in the container's
// bytes, which must outlive it. A .dsd's sides are interleaved track by
// track; an MMB file's discs sit in slots of 200 KiB after its table.
struct DiscSide {
    std::string label;  // "", "side 2", or an MMB disc's number and title
    int drive = 0;      // the drive DFS reads it as: 0, or 2 for a .dsd's second side
    std::span<const std::uint8_t> container;
    std::size_t offset = 0;       // of its track 0
    std::size_t trackStride = 0;  // from one of its tracks to the next
    std::size_t bytes = 0;        // the most its tracks can hold
};

// The DFS discs in `image`. Fails when the container is too short for any
// catalogue, or an MMB file's table is damaged.
Result<std::vector<DiscSide>> discSides(std::span<const std::uint8_t> image, DiscContainer container);

// A catalogue entry: file `directory`.`name`, its 18-bit addresses (&33000
// is &FF3000, the I/O processor's memory), length and first sector.
struct CatalogueEntry {
    std::string name;
    char directory = '$';
    bool locked = false;
    std::uint32_t load = 0;
    std::uint32_t exec = 0;
    std::uint32_t length = 0;
    int startSector = 0;

    std::string fullName() const { return std::string(1, directory) + "." + name; }
};

struct ReadCatalogue {
    std::string title;
    int sectors = 0;  // on the disc, as its catalogue says
    BootOption boot = BootOption::None;
    std::vector<CatalogueEntry> files;  // as the catalogue lists them
};

// The catalogue in sectors 0 and 1 of `side`, or why it is none: an entry
// count that is not whole entries, names that are not printable, files
// outside the disc's sectors.
Result<ReadCatalogue> readCatalogue(const DiscSide& side);

// The bytes of `entry`, or a failure when the disc image ends before them.
Result<std::vector<std::uint8_t>> readDiscFile(const DiscSide& side, const CatalogueEntry& entry);
