#include "colour_profiles.h"

#include "handmade_pictures.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <bitset>
#include <cstdint>
#include <vector>

namespace {

// What libpng matches "HP-Microsoft sRGB v2 perceptual" by.
constexpr std::size_t kLength = 3144;
constexpr std::uint32_t kAdler = 0xF784F3FB;
constexpr std::uint32_t kCrc = 0x182EA552;
constexpr std::uint32_t kModulus = 65521;  // Adler-32's

using Bytes = std::vector<std::uint8_t>;

std::uint32_t adlerOf(const Bytes& b) { return std::uint32_t(adler32(1, b.data(), uInt(b.size()))); }
std::uint32_t crcOf(const Bytes& b) { return std::uint32_t(crc32(0, b.data(), uInt(b.size()))); }

// A display profile for RGB, version 2.1, D50 illuminant, no tags; bytes
// 1000 to 2500 at 128, for the changes below to move both ways.
Bytes header()
{
    Bytes profile(kLength, 0);
    const auto put = [&](std::size_t at, std::uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i)
            profile[at + i] = std::uint8_t(value >> (24 - 8 * i));
    };
    put(0, kLength);
    put(8, 0x02100000);
    put(12, 0x6D6E7472);  // "mntr"
    put(16, 0x52474220);  // "RGB "
    put(20, 0x58595A20);  // "XYZ "
    put(36, 0x61637370);  // "acsp"
    put(68, 0xF6D6);
    put(72, 0x10000);
    put(76, 0xD32D);
    std::fill(profile.begin() + 1000, profile.begin() + 2500, std::uint8_t(128));
    return profile;
}

// Adler-32's low half sums the bytes: raising the last ones (zero) sets it.
// Its high half weighs each byte by its distance from the end, so raising a
// byte and lowering the next by as much adds exactly that to it alone.
void matchAdler(Bytes& profile)
{
    std::uint32_t low = ((kAdler & 0xFFFF) + kModulus - (adlerOf(profile) & 0xFFFF)) % kModulus;
    for (std::size_t i = kLength - 1; low > 0; --i) {  // down to byte 2887 at most
        const std::uint32_t step = std::min<std::uint32_t>(low, 255);
        profile[i] = std::uint8_t(step);
        low -= step;
    }
    std::uint32_t high = ((kAdler >> 16) + kModulus - (adlerOf(profile) >> 16)) % kModulus;
    for (std::size_t i = 1000; high > 0; i += 2) {  // up to byte 2032 at most
        const std::uint32_t step = std::min<std::uint32_t>(high, 127);
        profile[i] = std::uint8_t(profile[i] + step);
        profile[i + 1] = std::uint8_t(profile[i + 1] - step);
        high -= step;
    }
}

// Raising bytes i and i + 2 by d and lowering i + 1 by 2d keeps Adler-32,
// and changes the CRC by the CRC of the bits it flips (the CRC is linear in
// them). Gaussian elimination over 120 such changes picks those whose
// patterns sum to what the CRC lacks.
void matchCrc(Bytes& profile)
{
    constexpr std::size_t kChanges = 120;
    const auto change = [&](Bytes& bytes, std::size_t k, int sign) {
        const std::size_t at = 2100 + 3 * k;
        const int amount = sign * (1 + int(k % 3));
        bytes[at] = std::uint8_t(bytes[at] + amount);
        bytes[at + 1] = std::uint8_t(bytes[at + 1] - 2 * amount);
        bytes[at + 2] = std::uint8_t(bytes[at + 2] + amount);
    };
    const std::uint32_t before = crcOf(profile);
    // Each row: a CRC pattern with its top bit as pivot, and the changes it sums.
    std::array<std::pair<std::uint32_t, std::bitset<kChanges>>, 32> rows{};
    for (std::size_t k = 0; k < kChanges; ++k) {
        change(profile, k, 1);
        std::pair<std::uint32_t, std::bitset<kChanges>> row{crcOf(profile) ^ before, {}};
        row.second.set(k);
        change(profile, k, -1);
        while (row.first != 0 && rows[std::size_t(31 - std::countl_zero(row.first))].first != 0) {
            const auto& pivot = rows[std::size_t(31 - std::countl_zero(row.first))];
            row = {row.first ^ pivot.first, row.second ^ pivot.second};
        }
        if (row.first != 0)
            rows[std::size_t(31 - std::countl_zero(row.first))] = row;
    }
    std::uint32_t missing = before ^ kCrc;
    std::bitset<kChanges> chosen;
    while (missing != 0) {
        const auto& pivot = rows[std::size_t(31 - std::countl_zero(missing))];
        missing ^= pivot.first;
        chosen ^= pivot.second;
    }
    for (std::size_t k = 0; k < kChanges; ++k)
        if (chosen[k])
            change(profile, k, 1);
}

}  // namespace

QByteArray withKnownIncorrectSrgbProfile(const QByteArray& png)
{
    Bytes profile = header();
    matchAdler(profile);
    matchCrc(profile);
    const QByteArray bytes(reinterpret_cast<const char*>(profile.data()), qsizetype(profile.size()));
    const QByteArray compressed = qCompress(bytes).mid(4);  // a zlib stream, without Qt's length
    const QByteArray chunk = pngChunk("iCCP", QByteArray("HP sRGB\0\0", 9) + compressed);
    constexpr qsizetype kAfterHeader = 8 + 25;  // the signature, IHDR
    return png.left(kAfterHeader) + chunk + png.mid(kAfterHeader);
}
