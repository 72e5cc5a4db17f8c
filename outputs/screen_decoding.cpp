#include "outputs/screen_decoding.h"

#include "conversion/screen_layout.h"

#include <string>

NulaTable nulaTableOf(const ScreenMode& mode, const std::array<std::uint8_t, kNulaBytes>& registers)
{
    NulaTable table{};
    std::array<bool, kNulaEntries> set{};
    // The writes go in pairs: entry * 16 + red, then green * 16 + blue.
    std::array<NulaColour, kNulaEntries> entries{};
    for (std::size_t write = 0; write < registers.size(); write += 2) {
        const std::uint8_t first = registers[write];
        const std::uint8_t second = registers[write + 1];
        entries[first >> 4] = NulaColour{static_cast<std::uint8_t>(first & 15), static_cast<std::uint8_t>(second >> 4),
                                         static_cast<std::uint8_t>(second & 15)};
    }
    for (int entry = 0; entry < kNulaEntries; ++entry) {
        const auto logical = static_cast<std::size_t>(logicalColourOfIndex(mode, entry));
        if (!set[logical])
            table[logical] = entries[static_cast<std::size_t>(entry)];
        set[logical] = true;
    }
    return table;
}

namespace {

void applyChanges(Screen& screen, const std::vector<PaletteChange>& changes)
{
    for (const PaletteChange& change : changes)
        if (change.logical >= 0 && change.logical < screen.mode->numcols)
            screen.palette().physical[static_cast<std::size_t>(change.logical)] =
                static_cast<std::uint8_t>(change.physical & 7);
}

void applyNula(Screen& screen, const std::array<std::uint8_t, kNulaBytes>& registers)
{
    const NulaTable table = nulaTableOf(*screen.mode, registers);
    LinePalette& palette = screen.palette();
    palette.nula = table;
    for (std::size_t logical = 0; logical < palette.physical.size(); ++logical)
        palette.physical[logical] = nearestStandardColour(table[logical]);
}

}  // namespace

Result<Screen> screenFromMemory(int mode, std::span<const std::uint8_t> memory, const ScreenColours& colours)
{
    const ModeRecord* record = findModeRecord(mode);
    if (record == nullptr)
        return Failure{"mode " + std::to_string(mode), "not a screen mode that can be opened (0, 1, 2, 4, 5 or 7)"};
    if (memory.size() != static_cast<std::size_t>(record->screenBytes))
        return Failure{"mode " + std::to_string(mode), "a screen is " + std::to_string(record->screenBytes) +
                                                           " bytes, not " + std::to_string(memory.size())};
    if (record->kind == ModeKind::Teletext)
        return Screen::teletext({memory.begin(), memory.end()});
    Screen screen(*record->bitmap);
    screen.pixels = unpackScreen(*record->bitmap, memory);
    if (colours.nulaRegisters) {
        applyNula(screen, *colours.nulaRegisters);
        return screen;
    }
    for (std::uint8_t& pixel : screen.pixels)
        pixel = static_cast<std::uint8_t>(pixel & (record->bitmap->numcols - 1));
    applyChanges(screen, colours.changes);
    return screen;
}
