#include "outputs/raster_program.h"

#include "outputs/raster_writes.h"

#include <algorithm>

namespace {

constexpr std::size_t kFirstOffset = 0x20;
constexpr std::size_t kPointersOffset = 0x40;
constexpr std::size_t kNearestOffset = 0x50;
constexpr std::size_t kSlotPages = 0x100;

// The 8 bytes written before a line: its writes repeated, or entry 0 as
// the line's palette has it.
std::vector<std::uint8_t> lineBytes(const Screen& screen, const RasterRecord* record, int line)
{
    std::vector<std::uint8_t> bytes =
        record ? record->bytes : entryBytes(screen, screen.paletteAt(line), 0);
    const std::size_t length = bytes.size();
    while (bytes.size() < kRasterWritesPerLine)
        bytes.push_back(bytes[bytes.size() - length]);
    return bytes;
}

}  // namespace

Result<std::vector<std::uint8_t>> rasterProgramData(const Screen& screen)
{
    const RasterWrites writes = rasterWrites(screen);
    std::vector<std::uint8_t> data(kRasterDataBytes, 0);
    data[0] = writes.paletteRegister;
    data[1] = screen.hasNula() ? 1 : 0;
    data[2] = writes.nulaByLogicalColour ? 1 : 0;
    if (writes.nulaByLogicalColour)
        std::ranges::copy(logicalColourPointers(*screen.mode), data.begin() + kPointersOffset);
    if (screen.hasNula())
        std::ranges::copy(nearestStandardEntries(*screen.mode, screen.palettes.front()), data.begin() + kNearestOffset);
    const auto& first = writes.records.front().bytes;
    for (std::size_t i = 0; i < 32; ++i)
        data[kFirstOffset + i] = first[i % first.size()];
    std::size_t next = 1;
    for (int line = 1; line < kScreenLines; ++line) {
        const RasterRecord* record = next < writes.records.size() && writes.records[next].line == line
                                         ? &writes.records[next++] : nullptr;
        if (record && record->bytes.size() > kRasterWritesPerLine)
            return Failure{"palette", "changes before line " + std::to_string(line) + " need " +
                                          std::to_string(record->bytes.size()) + " writes, more than the " +
                                          std::to_string(kRasterWritesPerLine) + " a scan line's blanking has time for"};
        const auto bytes = lineBytes(screen, record, line);
        for (std::size_t slot = 0; slot < bytes.size(); ++slot)
            data[kRasterDataHeaderBytes + kSlotPages * slot + static_cast<std::size_t>(line)] = bytes[slot];
    }
    return data;
}
