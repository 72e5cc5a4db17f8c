#include "outputs/dfs_reading.h"

#include "outputs/disc_containers.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::size_t kTrackBytes = kDfsSectorsPerTrack * kDfsSectorBytes;
constexpr std::size_t kCatalogueBytes = kDfsCatalogueSectors * kDfsSectorBytes;
constexpr std::size_t kMmbEntryBytes = 16;

// An MMB slot's state byte: &0F and &00 hold a disc (writable or locked);
// &F0 is empty and &FF unformatted.
bool mmbSlotHoldsDisc(std::uint8_t state)
{
    return state == 0x0F || state == 0x00;
}

std::string lowered(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

std::string trimmedText(std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (byte == 0)
            break;
        text += static_cast<char>(byte & 0x7F);
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

Result<std::vector<DiscSide>> mmbSides(std::span<const std::uint8_t> image)
{
    if (image.size() < kMmbTableBytes + kCatalogueBytes)
        return Failure{"MMB file", "is " + std::to_string(image.size()) + " bytes, too short for its table and one disc"};
    std::vector<DiscSide> sides;
    for (std::size_t slot = 0; slot < kMmbSlots; ++slot) {
        const std::size_t entry = kMmbEntryBytes * (slot + 1);
        const std::size_t offset = kMmbTableBytes + slot * kMmbSlotBytes;
        if (!mmbSlotHoldsDisc(image[entry + kMmbEntryBytes - 1]) || offset + kCatalogueBytes > image.size())
            continue;
        const std::string title = trimmedText(image.subspan(entry, 12));
        sides.push_back({"disc " + std::to_string(slot) + (title.empty() ? "" : " " + title), 0, image, offset,
                         kTrackBytes, kMmbSlotBytes});
    }
    if (sides.empty())
        return Failure{"MMB file", "holds no disc"};
    return sides;
}

}  // namespace

std::optional<DiscContainer> discContainerOfName(std::string_view fileName)
{
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    const std::string ending = lowered(fileName.substr(dot));
    if (ending == ".ssd")
        return DiscContainer::Single;
    if (ending == ".dsd")
        return DiscContainer::DoubleSided;
    if (ending == ".mmb")
        return DiscContainer::Mmb;
    return std::nullopt;
}

std::size_t largestDiscImage(DiscContainer container)
{
    switch (container) {
    case DiscContainer::Single: return 80 * kTrackBytes;
    case DiscContainer::DoubleSided: return 2 * 80 * kTrackBytes;
    case DiscContainer::Mmb: return kMmbTableBytes + kMmbSlots * kMmbSlotBytes;
    }
    return 0;
}

Result<std::vector<DiscSide>> discSides(std::span<const std::uint8_t> image, DiscContainer container)
{
    if (container == DiscContainer::Mmb)
        return mmbSides(image);
    if (image.size() < kCatalogueBytes)
        return Failure{"disc image", "is " + std::to_string(image.size()) +
                                         " bytes, too short for a DFS catalogue (512 bytes)"};
    if (container == DiscContainer::Single)
        return std::vector<DiscSide>{{"", 0, image, 0, kTrackBytes, image.size()}};
    // Side 2's track 0 follows side 0's; each side has half the tracks.
    const std::size_t tracks = (image.size() + 2 * kTrackBytes - 1) / (2 * kTrackBytes);
    std::vector<DiscSide> sides{{"side 0", 0, image, 0, 2 * kTrackBytes, tracks * kTrackBytes}};
    if (image.size() >= kTrackBytes + kCatalogueBytes)
        sides.push_back({"side 2", 2, image, kTrackBytes, 2 * kTrackBytes, tracks * kTrackBytes});
    return sides;
}

namespace {

// `count` bytes of the side from byte `from` on, or nothing when the
// container ends before them.
std::optional<std::vector<std::uint8_t>> sideBytes(const DiscSide& side, std::size_t from, std::size_t count)
{
    if (from + count > side.bytes)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(count);
    while (count > 0) {
        const std::size_t within = from % kTrackBytes;
        const std::size_t at = side.offset + (from / kTrackBytes) * side.trackStride + within;
        const std::size_t run = std::min(count, kTrackBytes - within);
        if (at + run > side.container.size())
            return std::nullopt;
        const auto start = side.container.begin() + static_cast<std::ptrdiff_t>(at);
        bytes.insert(bytes.end(), start, start + static_cast<std::ptrdiff_t>(run));
        from += run;
        count -= run;
    }
    return bytes;
}

// Sector 0 holds each entry's name and directory, sector 1 its addresses,
// length and start sector: 16 bits each, bits 16-17 packed into one byte as
// exec (7-6), length (5-4), load (3-2) and start sector bits 8-9 (1-0).
CatalogueEntry entryAt(const std::vector<std::uint8_t>& catalogue, std::size_t names)
{
    const std::size_t info = kDfsSectorBytes + names;
    const auto byte = [&](std::size_t at) { return static_cast<std::uint32_t>(catalogue[at]); };
    const std::uint32_t high = byte(info + 6);
    CatalogueEntry entry;
    entry.name = trimmedText(std::span(catalogue).subspan(names, 7));
    entry.directory = static_cast<char>(catalogue[names + 7] & 0x7F);
    entry.locked = (catalogue[names + 7] & 0x80) != 0;
    entry.load = byte(info) | byte(info + 1) << 8 | (high >> 2 & 3) << 16;
    entry.exec = byte(info + 2) | byte(info + 3) << 8 | (high >> 6 & 3) << 16;
    entry.length = byte(info + 4) | byte(info + 5) << 8 | (high >> 4 & 3) << 16;
    entry.startSector = static_cast<int>((high & 3) << 8 | byte(info + 7));
    return entry;
}

bool printableName(const CatalogueEntry& entry)
{
    const auto printable = [](char c) { return c > ' ' && c < 127; };
    return !entry.name.empty() && std::all_of(entry.name.begin(), entry.name.end(), printable) &&
           printable(entry.directory);
}

}  // namespace

Result<ReadCatalogue> readCatalogue(const DiscSide& side)
{
    const std::string subject = side.label.empty() ? "disc image" : "disc image, " + side.label;
    const auto catalogue = sideBytes(side, 0, kCatalogueBytes);
    if (!catalogue)
        return Failure{subject, "ends before its catalogue"};
    const std::vector<std::uint8_t>& bytes = *catalogue;
    const std::size_t entryBytes = bytes[kDfsSectorBytes + 5];
    if (entryBytes % 8 != 0 || entryBytes / 8 > kDfsMaxFiles)
        return Failure{subject, "has no DFS catalogue (its file count is damaged)"};
    ReadCatalogue read;
    // The title's first 8 characters head sector 0, its last 4 sector 1.
    std::vector<std::uint8_t> title(bytes.begin(), bytes.begin() + 8);
    title.insert(title.end(), bytes.begin() + kDfsSectorBytes, bytes.begin() + kDfsSectorBytes + 4);
    read.title = trimmedText(title);
    read.sectors = static_cast<int>((bytes[kDfsSectorBytes + 6] & 3) << 8 | bytes[kDfsSectorBytes + 7]);
    read.boot = static_cast<BootOption>(bytes[kDfsSectorBytes + 6] >> 4 & 3);
    for (std::size_t names = 8; names < 8 + entryBytes; names += 8) {
        CatalogueEntry entry = entryAt(bytes, names);
        const std::size_t end = static_cast<std::size_t>(entry.startSector) * kDfsSectorBytes + entry.length;
        if (!printableName(entry) || entry.startSector < kDfsCatalogueSectors ||
            end > static_cast<std::size_t>(read.sectors) * kDfsSectorBytes)
            return Failure{subject, "has a damaged DFS catalogue (entry " + std::to_string(names / 8) + ")"};
        read.files.push_back(std::move(entry));
    }
    return read;
}

Result<std::vector<std::uint8_t>> readDiscFile(const DiscSide& side, const CatalogueEntry& entry)
{
    auto bytes = sideBytes(side, static_cast<std::size_t>(entry.startSector) * kDfsSectorBytes, entry.length);
    if (!bytes)
        return Failure{entry.fullName(), "the disc image ends before the file does (truncated image)"};
    return std::move(*bytes);
}
