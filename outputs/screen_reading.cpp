#include "outputs/screen_reading.h"

#include "conversion/screen_modes.h"
#include "outputs/compression/zx02.h"
#include "outputs/packed_screen.h"

#include <algorithm>

namespace {

constexpr std::size_t kTrailerBytes = 4;
constexpr std::size_t kLargestScreen = 20480;
// A ZX02 stream of 20 KiB that did not pack grows by at most a bit in
// eight, so no packed screen file is longer than this.
constexpr std::uint64_t kLargestScreenFile = 2 * kLargestScreen;

bool isScreenLength(std::size_t bytes)
{
    return std::any_of(kModeRecords.begin(), kModeRecords.end(),
                       [&](const ModeRecord& record) { return static_cast<std::size_t>(record.screenBytes) == bytes; });
}

std::uint32_t addressAt(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8);
}

// A disc's packed file: the stream ends where its four bytes begin, just
// below &8000, and unpacks to exactly the screen from its screen start.
std::optional<std::vector<std::uint8_t>> unpackedDiscFile(std::span<const std::uint8_t> file)
{
    if (file.size() <= kTrailerBytes)
        return std::nullopt;
    const std::size_t streamBytes = file.size() - kTrailerBytes;
    const std::uint32_t screenStart = addressAt(file, streamBytes);
    const std::uint32_t streamStart = addressAt(file, streamBytes + 2);
    const auto modes = std::find_if(kModeRecords.begin(), kModeRecords.end(),
                                    [&](const ModeRecord& record) { return record.screenStart == screenStart; });
    if (modes == kModeRecords.end() || streamStart + streamBytes != kScreenTop - kTrailerBytes)
        return std::nullopt;
    auto memory = zx02Decompress(file.first(streamBytes), kScreenTop - screenStart);
    if (!memory || memory->size() != static_cast<std::size_t>(modes->screenBytes))
        return std::nullopt;
    return memory;
}

}  // namespace

std::vector<int> screenModesFor(std::size_t bytes, std::optional<std::uint32_t> load)
{
    std::vector<int> modes;
    for (const ModeRecord& record : kModeRecords)
        if (static_cast<std::size_t>(record.screenBytes) == bytes)
            modes.push_back(record.number);
    if (!load)
        return modes;
    std::vector<int> narrowed;
    for (const int mode : modes)
        if (findModeRecord(mode)->screenStart == (*load & 0xFFFF))
            narrowed.push_back(mode);
    return narrowed.empty() ? modes : narrowed;
}

std::optional<std::vector<std::uint8_t>> unpackedScreenFile(std::span<const std::uint8_t> file)
{
    if (file.empty())
        return std::nullopt;
    if (auto memory = unpackedDiscFile(file))
        return memory;
    auto memory = zx02Decompress(file, kLargestScreen);
    if (!memory || !isScreenLength(memory->size()))
        return std::nullopt;
    return memory;
}

std::string screenLengthsText()
{
    return "a screen is 20480 bytes (modes 0, 1, 2), 10240 (modes 4, 5) or 1000 (mode 7), or one of "
           "Rasterine's ZX02-packed screens";
}

Status checkScreenFileLength(const std::string& name, std::uint64_t bytes)
{
    if (bytes <= kLargestScreenFile)
        return Done{};
    return Failure{name, "is no screen: it is " + std::to_string(bytes) + " bytes; " + screenLengthsText()};
}

Result<FoundScreen> readScreenFile(const std::string& name, std::span<const std::uint8_t> bytes,
                                   const std::optional<InfFields>& inf,
                                   std::optional<std::span<const std::uint8_t>> nula)
{
    FoundScreen found{name, {bytes.begin(), bytes.end()}, {}, {}, false};
    std::optional<std::uint32_t> load = inf ? std::optional(inf->load) : std::nullopt;
    if (!isScreenLength(bytes.size())) {
        auto memory = unpackedScreenFile(bytes);
        if (!memory)
            return Failure{name, "is no screen: it is " + std::to_string(bytes.size()) + " bytes; " +
                                     screenLengthsText()};
        found.memory = std::move(*memory);
        found.packed = true;
        load = std::nullopt;  // a packed file's load address is its stream's
    }
    found.modes = screenModesFor(found.memory.size(), load);
    // Teletext has no palette for VideoNuLA to set.
    if (nula && found.memory.size() != static_cast<std::size_t>(kTeletextMode.screenBytes())) {
        if (nula->size() != kNulaBytes)
            return Failure{name + ".nula", "is " + std::to_string(nula->size()) +
                                               " bytes; a .nula file holds the 32 writes to VideoNuLA's palette"};
        std::array<std::uint8_t, kNulaBytes> registers{};
        std::copy(nula->begin(), nula->end(), registers.begin());
        found.colours.nulaRegisters = registers;
    }
    return found;
}
