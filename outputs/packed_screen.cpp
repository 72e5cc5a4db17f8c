#include "outputs/packed_screen.h"

#include "outputs/compression/zx02.h"
#include "outputs/m6502/unpack_cycles.h"
#include "outputs/m6502/unpack_routine.h"
#include "outputs/show_time.h"

#include <cassert>

namespace {

constexpr std::uint32_t kIoProcessor = 0xFF0000;
constexpr std::uint32_t kCopiedPage = 0x7F00;
constexpr std::size_t kTrailerBytes = 4;

void putAddress(std::vector<std::uint8_t>& file, std::uint32_t address)
{
    file.push_back(static_cast<std::uint8_t>(address & 0xFF));
    file.push_back(static_cast<std::uint8_t>((address >> 8) & 0xFF));
}

}  // namespace

bool unpacksInPlace(const std::vector<std::uint8_t>& stream, std::uint32_t screenStart, std::uint32_t streamEnd)
{
    std::vector<std::uint32_t> readAt;
    if (!zx02Decompress(stream, kScreenTop - screenStart, &readAt))
        return false;
    const std::uint32_t streamStart = streamEnd - static_cast<std::uint32_t>(stream.size());
    for (std::size_t i = 0; i < readAt.size(); ++i) {
        const std::uint32_t address = streamStart + static_cast<std::uint32_t>(i);
        if (address < kCopiedPage && screenStart + readAt[i] > address)
            return false;
    }
    return true;
}

std::optional<PackedScreen> placePackedScreen(const Conversion& conversion, std::span<const std::uint8_t> made)
{
    if (conversion.screen.pixels.empty())
        return std::nullopt;
    return placePackedScreen(conversion.bytes(), conversion.screenStart(), made);
}

std::optional<PackedScreen> placePackedScreen(const std::vector<std::uint8_t>& memory, std::uint32_t screenStart,
                                              std::span<const std::uint8_t> made)
{
    const std::vector<std::uint8_t> stream = made.empty() ? zx02Compress(memory)
                                                          : std::vector<std::uint8_t>(made.begin(), made.end());
    const std::uint32_t end = kScreenTop - kTrailerBytes;
    if (stream.size() + kTrailerBytes > end - screenStart ||
        !unpacksInPlace(stream, screenStart, end))
        return std::nullopt;
    const auto start = end - static_cast<std::uint32_t>(stream.size());
    PackedScreen packed{stream, kIoProcessor | start, kIoProcessor | unpackRoutine().address("screen")};
    putAddress(packed.file, screenStart);
    putAddress(packed.file, start);
    return packed;
}

std::uint64_t unpackCycles(const PackedScreen& packed)
{
    const std::span<const std::uint8_t> stream(packed.file.data(), packed.file.size() - kTrailerBytes);
    const auto screenStart = static_cast<std::uint16_t>(packed.file[stream.size()] | packed.file[stream.size() + 1] << 8);
    const auto cycles = unpackCycles(stream, static_cast<std::uint16_t>(packed.load), screenStart, UnpackEntry::Screen);
    assert(cycles);  // the stream was checked when it was placed
    return cycles.value_or(0);
}

std::optional<PackedScreen> packScreen(const Conversion& conversion, std::span<const std::uint8_t> stream)
{
    SlidePacking slide = packSlide(conversion, stream);
    if (!slide.soonerLoadingRoutine)
        return std::nullopt;
    return std::move(slide.packed);
}

SlidePacking packSlide(const Conversion& conversion, std::span<const std::uint8_t> stream)
{
    auto packed = placePackedScreen(conversion, stream);
    if (!packed)
        return {};
    const std::uint64_t cycles = unpackCycles(*packed);
    const std::size_t screen = static_cast<std::size_t>(conversion.screen.screenBytes()), file = packed->file.size();
    if (!packedIsSooner(screen, file, cycles, true))
        return {};
    const bool loading = packedIsSooner(screen, file, cycles);
    return {std::move(packed), loading};
}
