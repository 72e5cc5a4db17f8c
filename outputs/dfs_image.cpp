#include "outputs/dfs_image.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace {

// Where the catalogue's two sectors put things.
constexpr std::size_t kTitleHead = 8;        // sector 0, bytes 0-7: title characters 1-8
constexpr std::size_t kSector1 = kDfsSectorBytes;
constexpr std::size_t kWriteCount = kSector1 + 4;  // after title characters 9-12
constexpr std::size_t kEntryBytesCount = kSector1 + 5;
constexpr std::size_t kOptionAndSize = kSector1 + 6;
constexpr std::size_t kSizeLow = kSector1 + 7;
constexpr std::size_t kFirstEntry = 8;
constexpr std::size_t kEntryBytes = 8;
static_assert(kFirstEntry + kDfsMaxFiles * kEntryBytes == kDfsSectorBytes);

bool validName(std::string_view name)
{
    constexpr std::string_view forbidden = " .:\"#*";
    return !name.empty() && name.size() <= 7 && std::all_of(name.begin(), name.end(), [&](char c) {
        return c > ' ' && c < 127 && forbidden.find(c) == std::string_view::npos;
    });
}

Status checkCatalogue(const DiscCatalogue& catalogue)
{
    const std::string disc = "disc \"" + catalogue.title + "\"";
    if (catalogue.tracks != 40 && catalogue.tracks != 80)
        return Failure{disc, "a DFS disc has 40 or 80 tracks, not " + std::to_string(catalogue.tracks)};
    if (catalogue.title.size() > 12)
        return Failure{disc, "a DFS disc title has at most 12 characters"};
    if (!std::all_of(catalogue.title.begin(), catalogue.title.end(), [](char c) { return c >= ' ' && c < 127; }))
        return Failure{disc, "a DFS disc title holds only printable ASCII characters"};
    if (catalogue.files.size() > kDfsMaxFiles)
        return Failure{disc, "a DFS disc holds at most 31 files, not " +
                                 std::to_string(catalogue.files.size())};
    int sectors = 0;
    for (const DiscFile& file : catalogue.files) {
        if (!validName(file.name))
            return Failure{file.name, "not a DFS file name (1 to 7 letters, digits or signs)"};
        sectors += dfsSectors(file.bytes.size());
    }
    const int free = catalogue.tracks * kDfsSectorsPerTrack - kDfsCatalogueSectors;
    if (sectors > free)
        return Failure{disc, "the files need " + std::to_string(sectors) + " sectors of 256 bytes; a disc of " +
                                 std::to_string(catalogue.tracks) + " tracks has " + std::to_string(free) +
                                 " after its catalogue"};
    return Done{};
}

void putTitle(std::vector<std::uint8_t>& disc, const std::string& title)
{
    std::string padded = title;
    padded.resize(12, ' ');
    std::copy_n(padded.begin(), kTitleHead, disc.begin());
    std::copy_n(padded.begin() + kTitleHead, 4, disc.begin() + kSector1);
}

// Sector 0 holds the name and directory, sector 1 the addresses, length and
// start sector: 16 bits each, their bits 16-17 packed into one byte as
// exec (7-6), length (5-4), load (3-2) and start sector bits 8-9 (1-0).
void putEntry(std::vector<std::uint8_t>& disc, std::size_t slot, const DiscFile& file, int start)
{
    const std::size_t names = kFirstEntry + slot * kEntryBytes;
    std::string name = file.name;
    name.resize(7, ' ');
    std::copy(name.begin(), name.end(), disc.begin() + static_cast<std::ptrdiff_t>(names));
    disc[names + 7] = static_cast<std::uint8_t>(file.directory | (file.locked ? 0x80 : 0));

    const std::size_t info = kSector1 + names;
    const auto length = static_cast<std::uint32_t>(file.bytes.size());
    const auto sector = static_cast<std::uint32_t>(start);
    const auto low = [](std::uint32_t value, int shift) { return static_cast<std::uint8_t>(value >> shift); };
    const auto high = [](std::uint32_t value, int at) { return static_cast<std::uint8_t>(((value >> 16) & 3) << at); };
    disc[info + 0] = low(file.load, 0);
    disc[info + 1] = low(file.load, 8);
    disc[info + 2] = low(file.exec, 0);
    disc[info + 3] = low(file.exec, 8);
    disc[info + 4] = low(length, 0);
    disc[info + 5] = low(length, 8);
    disc[info + 6] = static_cast<std::uint8_t>(high(file.exec, 6) | high(length, 4) | high(file.load, 2) |
                                               ((sector >> 8) & 3));
    disc[info + 7] = low(sector, 0);
}

}  // namespace

Result<std::vector<std::uint8_t>> buildDisc(const DiscCatalogue& catalogue)
{
    if (const Status checked = checkCatalogue(catalogue); !checked)
        return checked.failure();

    const int totalSectors = catalogue.tracks * kDfsSectorsPerTrack;
    std::vector<std::uint8_t> disc(static_cast<std::size_t>(totalSectors) * kDfsSectorBytes, 0);
    putTitle(disc, catalogue.title);
    const std::size_t count = catalogue.files.size();
    disc[kWriteCount] = 0;
    disc[kEntryBytesCount] = static_cast<std::uint8_t>(count * kEntryBytes);
    disc[kOptionAndSize] = static_cast<std::uint8_t>((static_cast<int>(catalogue.boot) << 4) |
                                                     ((totalSectors >> 8) & 3));
    disc[kSizeLow] = static_cast<std::uint8_t>(totalSectors & 0xFF);

    // Files go in from sector 2 up; DFS lists them by descending start
    // sector, so the last file laid out takes the first catalogue slot.
    int start = kDfsCatalogueSectors;
    for (std::size_t i = 0; i < count; ++i) {
        const DiscFile& file = catalogue.files[i];
        std::copy(file.bytes.begin(), file.bytes.end(),
                  disc.begin() + static_cast<std::ptrdiff_t>(start) * kDfsSectorBytes);
        putEntry(disc, count - 1 - i, file, start);
        start += dfsSectors(file.bytes.size());
    }
    return disc;
}
