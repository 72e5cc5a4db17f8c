#include "outputs/raster_writes.h"

#include "conversion/nula_colours.h"
#include "outputs/nula_setup.h"

#include <cassert>

bool changesLineByLine(const Screen& screen)
{
    return !screen.isTeletext() && screen.palettes.size() > 1;
}

bool nulaByLogicalColour(const Screen& screen)
{
    return screen.hasNula() && !screen.isTeletext() && screen.logicalColours() < 16;
}

std::array<std::uint8_t, 16> logicalColourPointers(const ScreenMode& mode)
{
    std::array<std::uint8_t, 16> bytes{};
    for (int entry = 0; entry < 16; ++entry)
        bytes[static_cast<std::size_t>(entry)] =
            static_cast<std::uint8_t>(entry << 4 | (logicalColourOfIndex(mode, entry) ^ 7));
    return bytes;
}

std::array<std::uint8_t, 16> nearestStandardEntries(const ScreenMode& mode, const LinePalette& palette)
{
    assert(palette.nula);
    std::array<std::uint8_t, 16> bytes{};
    for (int entry = 0; entry < 16; ++entry) {
        const auto logical = static_cast<std::size_t>(logicalColourOfIndex(mode, entry));
        bytes[static_cast<std::size_t>(entry)] =
            static_cast<std::uint8_t>(entry << 4 | (nearestStandardColour((*palette.nula)[logical]) ^ 7));
    }
    return bytes;
}

std::vector<std::uint8_t> entryBytes(const Screen& screen, const LinePalette& palette, int entry)
{
    assert(screen.mode != nullptr && entry >= 0 && entry < 16);
    const auto logical = static_cast<std::size_t>(
        nulaByLogicalColour(screen) ? entry : logicalColourOfIndex(*screen.mode, entry));
    const auto index = static_cast<std::uint8_t>(entry << 4);
    if (palette.nula) {
        const NulaColour& colour = (*palette.nula)[logical];
        return {static_cast<std::uint8_t>(index | colour.red), static_cast<std::uint8_t>(colour.green << 4 | colour.blue)};
    }
    return {static_cast<std::uint8_t>(index | (palette.physical[logical] ^ 7))};
}

namespace {

bool colourDiffers(const LinePalette& from, const LinePalette& to, std::size_t logical)
{
    if (from.nula && to.nula)
        return (*from.nula)[logical] != (*to.nula)[logical];
    return from.physical[logical] != to.physical[logical];
}

void append(std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& more)
{
    bytes.insert(bytes.end(), more.begin(), more.end());
}

// The register's entries that show logical colour `logical`, rising.
std::vector<int> entriesOf(const Screen& screen, int logical)
{
    if (nulaByLogicalColour(screen))
        return {logical};
    std::vector<int> entries;
    for (int entry = 0; entry < 16; ++entry)
        if (logicalColourOfIndex(*screen.mode, entry) == logical)
            entries.push_back(entry);
    return entries;
}

// The entries of each logical colour that differs between the palettes,
// logical colour by logical colour, in entry order.
std::vector<std::uint8_t> changeBytes(const Screen& screen, const LinePalette& from, const LinePalette& to)
{
    std::vector<std::uint8_t> bytes;
    for (int logical = 0; logical < screen.logicalColours(); ++logical) {
        if (!colourDiffers(from, to, static_cast<std::size_t>(logical)))
            continue;
        for (const int entry : entriesOf(screen, logical))
            append(bytes, entryBytes(screen, to, entry));
    }
    return bytes;
}

}  // namespace

RasterWrites rasterWrites(const Screen& screen)
{
    assert(!screen.isTeletext());
    RasterWrites writes;
    writes.paletteRegister = screen.hasNula() ? kNulaPaletteRegister : kUlaPaletteRegister;
    writes.nulaByLogicalColour = nulaByLogicalColour(screen);
    RasterRecord first{0, {}};
    const int entries = writes.nulaByLogicalColour ? screen.logicalColours() : 16;
    for (int entry = 0; entry < entries; ++entry)
        append(first.bytes, entryBytes(screen, screen.palettes.front(), entry));
    writes.records.push_back(std::move(first));
    for (std::size_t i = 1; i < screen.palettes.size(); ++i) {
        auto bytes = changeBytes(screen, screen.palettes[i - 1], screen.palettes[i]);
        if (!bytes.empty())
            writes.records.push_back({screen.palettes[i].firstLine, std::move(bytes)});
    }
    return writes;
}
