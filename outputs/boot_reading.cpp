#include "outputs/boot_reading.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

namespace {

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::optional<int> number(std::string_view text, int base = 10)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The leading digits of `text`, if any.
std::optional<int> leadingNumber(std::string_view text)
{
    const std::size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
    return number(text.substr(0, digits));
}

// One palette digit per logical colour: each its physical colour.
std::vector<PaletteChange> paletteDigits(std::string_view digits)
{
    std::vector<PaletteChange> changes;
    for (std::size_t logical = 0; logical < digits.size(); ++logical)
        if (const auto physical = number(digits.substr(logical, 1)))
            changes.push_back({static_cast<int>(logical), *physical});
    return changes;
}

// A slideshow's 48 digits: red, green and blue of entries 0 to 15, turned
// back into the writes to &FE23 that a .nula file holds.
std::optional<std::array<std::uint8_t, kNulaBytes>> nulaEntries(std::string_view digits)
{
    if (digits.size() != 48)
        return std::nullopt;
    std::array<std::uint8_t, kNulaBytes> registers{};
    for (std::size_t entry = 0; entry < 16; ++entry) {
        const auto red = number(digits.substr(3 * entry, 1), 16);
        const auto greenBlue = number(digits.substr(3 * entry + 1, 2), 16);
        if (!red || !greenBlue)
            return std::nullopt;
        registers[2 * entry] = static_cast<std::uint8_t>(entry << 4 | *red);
        registers[2 * entry + 1] = static_cast<std::uint8_t>(*greenBlue);
    }
    return registers;
}

// "100DATAPHOTO,2,01234567" (a plain slideshow), or with the NuLA entries,
// packing and drive after it: DATA name, mode, P$[, N$], C%, V%.
std::optional<BootScreen> dataLine(std::string_view line)
{
    const std::size_t digits = line.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string_view::npos || line.substr(digits, 4) != "DATA")
        return std::nullopt;
    const auto fields = split(line.substr(digits + 4), ',');
    if (fields.size() != 3 && fields.size() != 5 && fields.size() != 6)
        return std::nullopt;
    const auto mode = number(fields[1]);
    const auto drive = fields.size() == 3 ? std::optional<int>(0) : number(fields.back());
    if (fields[0].empty() || !mode || !drive)
        return std::nullopt;
    BootScreen screen{std::string(fields[0]), *drive, *mode, {paletteDigits(fields[2]), std::nullopt}};
    if (fields.size() == 6 && !fields[3].empty())
        screen.colours.nulaRegisters = nulaEntries(fields[3]);
    return screen;
}

// Every VDU19,L,P; with literal numbers in `line`.
std::vector<PaletteChange> vduChanges(std::string_view line)
{
    std::vector<PaletteChange> changes;
    for (std::size_t at = line.find("VDU19,"); at != std::string_view::npos; at = line.find("VDU19,", at + 1)) {
        const auto parts = split(line.substr(at + 6, line.find(';', at) - at - 6), ',');
        if (parts.size() != 2)
            continue;
        const auto logical = number(parts[0]);
        const auto physical = number(parts[1]);
        if (logical && physical)
            changes.push_back({*logical, *physical});
    }
    return changes;
}

// The 64 hex digits of the writes to &FE23 in a boot disc's NuLA set-up.
std::optional<std::array<std::uint8_t, kNulaBytes>> nulaSetup(std::string_view line)
{
    const std::size_t at = line.find("MID$(\"");
    if (at == std::string_view::npos || line.find("?&FE23") == std::string_view::npos)
        return std::nullopt;
    const std::string_view hex = line.substr(at + 6, 2 * kNulaBytes);
    std::array<std::uint8_t, kNulaBytes> registers{};
    for (std::size_t i = 0; i < registers.size(); ++i) {
        const auto byte = number(hex.substr(2 * i, 2), 16);
        if (!byte)
            return std::nullopt;
        registers[i] = static_cast<std::uint8_t>(*byte);
    }
    return registers;
}

// The name after OSCLI"LOAD or OSCLI"RUN on `line`, up to a space or quote.
std::optional<std::string> shownName(std::string_view line)
{
    for (const std::string_view command : {"OSCLI\"RUN ", "OSCLI\"LOAD "}) {
        for (std::size_t at = line.find(command); at != std::string_view::npos; at = line.find(command, at + 1)) {
            const std::string_view rest = line.substr(at + command.size());
            const std::string_view name = rest.substr(0, rest.find_first_of(" \""));
            if (!name.empty() && name != "UNPACK")
                return std::string(name);
        }
    }
    return std::nullopt;
}

// A screen put in place in direct mode: MODE n on one line, then its colours
// and the command that loads it on the lines up to the one that loads it.
std::optional<BootScreen> directScreen(const std::vector<std::string_view>& lines)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].substr(0, 4) != "MODE")
            continue;
        const auto mode = leadingNumber(lines[i].substr(4));
        if (!mode)
            continue;
        BootScreen screen{"", 0, *mode, {}};
        for (std::size_t next = i + 1; next < lines.size() && next <= i + 2; ++next) {
            if (!screen.colours.nulaRegisters)
                screen.colours.nulaRegisters = nulaSetup(lines[next]);
            if (!screen.colours.nulaRegisters) {
                const auto changes = vduChanges(lines[next]);
                screen.colours.changes.insert(screen.colours.changes.end(), changes.begin(), changes.end());
            }
            if (const auto name = shownName(lines[next])) {
                screen.name = *name;
                if (screen.colours.nulaRegisters)
                    screen.colours.changes.clear();
                return screen;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<BootScreen> bootScreens(std::span<const std::uint8_t> bootText)
{
    const std::string text(bootText.begin(), bootText.end());
    std::vector<std::string_view> lines;
    for (std::string_view line : split(text, '\r'))
        for (std::string_view part : split(line, '\n'))
            lines.push_back(part);
    std::vector<BootScreen> screens;
    for (const std::string_view line : lines)
        if (auto screen = dataLine(line))
            screens.push_back(std::move(*screen));
    if (screens.empty())
        if (auto screen = directScreen(lines))
            screens.push_back(std::move(*screen));
    return screens;
}
