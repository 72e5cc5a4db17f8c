#include "outputs/disc_containers.h"

#include "outputs/dfs_image.h"

#include <algorithm>
#include <cassert>

namespace {

constexpr std::size_t kTrackBytes = kDfsSectorsPerTrack * kDfsSectorBytes;
constexpr std::size_t kMmbEntryBytes = 16;
constexpr std::uint8_t kMmbWritable = 0x0F;
constexpr std::uint8_t kMmbEmpty = 0xF0;

}  // namespace

std::vector<std::uint8_t> doubleSidedImage(std::span<const std::uint8_t> side0, std::span<const std::uint8_t> side2,
                                           int tracks)
{
    const auto count = static_cast<std::size_t>(tracks);
    assert(side0.size() == count * kTrackBytes && side2.size() == count * kTrackBytes);
    std::vector<std::uint8_t> image;
    image.reserve(2 * count * kTrackBytes);
    for (std::size_t track = 0; track < count; ++track)
        for (const auto side : {side0, side2}) {
            const auto from = side.begin() + static_cast<std::ptrdiff_t>(track * kTrackBytes);
            image.insert(image.end(), from, from + static_cast<std::ptrdiff_t>(kTrackBytes));
        }
    return image;
}

Result<std::vector<std::uint8_t>> mmbImage(std::span<const MmbDisc> discs)
{
    if (discs.size() > kMmbSlots)
        return Failure{"MMB file", "holds at most " + std::to_string(kMmbSlots) + " discs, not " +
                                       std::to_string(discs.size())};
    std::vector<std::uint8_t> file(kMmbTableBytes + discs.size() * kMmbSlotBytes, 0);
    for (std::uint8_t drive = 0; drive < 4; ++drive)
        file[drive] = drive;
    for (std::size_t slot = 0; slot < kMmbSlots; ++slot) {
        const std::size_t entry = kMmbEntryBytes * (slot + 1);
        if (slot >= discs.size()) {
            file[entry + kMmbEntryBytes - 1] = kMmbEmpty;
            continue;
        }
        const MmbDisc& disc = discs[slot];
        assert(disc.title.size() <= 12 && disc.image.size() <= kMmbSlotBytes);
        std::copy(disc.title.begin(), disc.title.end(), file.begin() + static_cast<std::ptrdiff_t>(entry));
        file[entry + kMmbEntryBytes - 1] = kMmbWritable;
        std::copy(disc.image.begin(), disc.image.end(),
                  file.begin() + static_cast<std::ptrdiff_t>(kMmbTableBytes + slot * kMmbSlotBytes));
    }
    return file;
}
