#include "outputs/raster_file.h"

#include "outputs/nula_setup.h"
#include "outputs/side_file.h"

#include <array>
#include <cstdio>
#include <optional>

namespace {

constexpr std::array<std::uint8_t, 4> kMagic{'R', 'A', 'S', 'T'};

Failure malformed(const std::string& reason)
{
    return Failure{"raster file", reason};
}

}  // namespace

std::vector<std::uint8_t> rasterFileBytes(const Screen& screen)
{
    const RasterWrites writes = rasterWrites(screen);
    std::vector<std::uint8_t> bytes(kMagic.begin(), kMagic.end());
    bytes.push_back(writes.nulaByLogicalColour ? kRasterFileVersionByLogicalColour : kRasterFileVersion);
    bytes.push_back(static_cast<std::uint8_t>(screen.modeNumber));
    bytes.push_back(writes.paletteRegister);
    bytes.push_back(static_cast<std::uint8_t>(writes.records.size() - 1));
    for (const RasterRecord& record : writes.records) {
        bytes.push_back(static_cast<std::uint8_t>(record.line));
        bytes.push_back(static_cast<std::uint8_t>(record.bytes.size()));
        bytes.insert(bytes.end(), record.bytes.begin(), record.bytes.end());
    }
    return bytes;
}

namespace {

Status checkHeader(const ScreenMode& mode, std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kRasterHeaderBytes || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin()))
        return malformed("is not a raster file (no RAST header)");
    if (bytes[4] != kRasterFileVersion && bytes[4] != kRasterFileVersionByLogicalColour)
        return malformed("has version " + std::to_string(bytes[4]) + ", neither 1 nor 2");
    if (bytes[5] != mode.number)
        return malformed("is for mode " + std::to_string(bytes[5]) + ", not mode " + std::to_string(mode.number));
    if (bytes[6] != kUlaPaletteRegister && bytes[6] != kNulaPaletteRegister)
    {
        char name[8];
        std::snprintf(name, sizeof name, "&FE%02X", static_cast<unsigned>(bytes[6]));
        return malformed("names register " + std::string(name) + ", neither &FE21 nor &FE23");
    }
    if (bytes[4] == kRasterFileVersionByLogicalColour && (bytes[6] != kNulaPaletteRegister || mode.bitsPerPixel() == 4))
        return malformed("has version 2, which is for VideoNuLA colours in a mode of 2 or 4 colours");
    return Done{};
}

}  // namespace

Result<RasterWrites> readRasterWrites(const ScreenMode& mode, std::span<const std::uint8_t> bytes)
{
    if (const Status header = checkHeader(mode, bytes); !header)
        return header.failure();
    RasterWrites writes{bytes[6], bytes[4] == kRasterFileVersionByLogicalColour, {}};
    const std::size_t count = std::size_t{bytes[7]} + 1;
    std::size_t at = kRasterHeaderBytes;
    for (std::size_t i = 0; i < count; ++i) {
        if (at + 2 > bytes.size())
            return malformed("ends inside record " + std::to_string(i + 1) + " of " + std::to_string(count));
        const int line = bytes[at];
        const std::size_t length = bytes[at + 1];
        if (i == 0 ? line != 0 : line <= writes.records.back().line)
            return malformed("record " + std::to_string(i + 1) + " is for line " + std::to_string(line) +
                             (i == 0 ? ", not line 0" : ", not after the line before"));
        if (length == 0 || at + 2 + length > bytes.size())
            return malformed("record for line " + std::to_string(line) + " is empty or runs past the end");
        writes.records.push_back({line, {bytes.begin() + static_cast<std::ptrdiff_t>(at + 2),
                                         bytes.begin() + static_cast<std::ptrdiff_t>(at + 2 + length)}});
        at += 2 + length;
    }
    if (at != bytes.size())
        return malformed("has " + std::to_string(bytes.size() - at) + " bytes after its last record");
    return writes;
}

namespace {

// The palette register's 16 entries as the writes leave them.
struct Entries {
    std::array<std::optional<NulaColour>, 16> nula;
    std::array<std::optional<std::uint8_t>, 16> physical;
};

Status applyRecord(const RasterWrites& writes, const RasterRecord& record, int colours, Entries& entries)
{
    const std::string where = "record for line " + std::to_string(record.line);
    if (writes.paletteRegister == kNulaPaletteRegister) {
        if (record.bytes.size() % 2 != 0)
            return malformed(where + " writes half a VideoNuLA entry");
        for (std::size_t i = 0; i < record.bytes.size(); i += 2) {
            const std::uint8_t a = record.bytes[i], b = record.bytes[i + 1];
            if (writes.nulaByLogicalColour && (a >> 4) >= colours)
                return malformed(where + " writes VideoNuLA entry " + std::to_string(a >> 4) + ", past the mode's " +
                                 std::to_string(colours) + " colours");
            entries.nula[a >> 4] = NulaColour{static_cast<std::uint8_t>(a & 15), static_cast<std::uint8_t>(b >> 4),
                                              static_cast<std::uint8_t>(b & 15)};
        }
        return Done{};
    }
    for (const std::uint8_t byte : record.bytes) {
        if (byte & 8)
            return malformed(where + " sets a flashing colour");
        entries.physical[byte >> 4] = static_cast<std::uint8_t>((byte & 7) ^ 7);
    }
    return Done{};
}

// The logical colour that entry `entry` of the register shows, or -1 for
// none.
int logicalColourOfEntry(const ScreenMode& mode, const RasterWrites& writes, int entry)
{
    if (writes.nulaByLogicalColour)
        return entry < 1 << mode.bitsPerPixel() ? entry : -1;
    return logicalColourOfIndex(mode, entry);
}

// The palette the entries show from `line`, or a failure when an entry is
// unset or a logical colour's entries differ.
Result<LinePalette> paletteOf(const ScreenMode& mode, const RasterWrites& writes, const Entries& entries, int line)
{
    const bool nula = writes.paletteRegister == kNulaPaletteRegister;
    LinePalette palette = Screen(mode).palette();
    palette.firstLine = line;
    if (nula)
        palette.nula = NulaTable{};
    std::array<bool, 16> seen{};
    for (int entry = 0; entry < 16; ++entry) {
        if (logicalColourOfEntry(mode, writes, entry) < 0)
            continue;
        const auto logical = static_cast<std::size_t>(logicalColourOfEntry(mode, writes, entry));
        const bool set = nula ? entries.nula[entry].has_value() : entries.physical[entry].has_value();
        if (!set)
            return malformed("line 0 leaves palette entry " + std::to_string(entry) + " unset");
        const bool same = nula ? (*palette.nula)[logical] == *entries.nula[entry]
                               : palette.physical[logical] == *entries.physical[entry];
        if (seen[logical] && !same)
            return malformed("from line " + std::to_string(line) + " logical colour " + std::to_string(logical) +
                             " has entries of different colours");
        seen[logical] = true;
        if (nula) {
            (*palette.nula)[logical] = *entries.nula[entry];
            if (logical < palette.physical.size())  // the standard colours of the first 8
                palette.physical[logical] = nearestStandardColour(*entries.nula[entry]);
        } else {
            palette.physical[logical] = *entries.physical[entry];
        }
    }
    return palette;
}

}  // namespace

Result<std::vector<LinePalette>> readRasterFile(const ScreenMode& mode, std::span<const std::uint8_t> bytes)
{
    const auto writes = readRasterWrites(mode, bytes);
    if (!writes)
        return writes.failure();
    Entries entries;
    std::vector<LinePalette> palettes;
    for (const RasterRecord& record : writes.value().records) {
        if (const Status applied = applyRecord(writes.value(), record, 1 << mode.bitsPerPixel(), entries); !applied)
            return applied.failure();
        auto palette = paletteOf(mode, writes.value(), entries, record.line);
        if (!palette)
            return palette.failure();
        palettes.push_back(std::move(palette).value());
    }
    return palettes;
}

std::string rasterInfText(const std::string& bbcName, std::size_t bytes)
{
    return infLine(bbcName, 0, 0, static_cast<std::uint32_t>(bytes)) + "\n";
}
