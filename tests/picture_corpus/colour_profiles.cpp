#include "colour_profiles.h"

#include "handmade_pictures.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

namespace {

// What libpng matches "HP-Microsoft sRGB v2 perceptual" by.
constexpr std::size_t kLength = 3144;
constexpr std::uint32_t kAdler = 0xF784F3FB;
constexpr std::uint32_t kCrc = 0x182EA552;
constexpr std::uint32_t kAdlerModulus = 65521;

using Profile = std::vector<std::uint8_t>;

void put32(Profile& profile, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        profile[at + std::size_t(i)] = std::uint8_t(value >> (24 - 8 * i));
}

// A display profile for RGB, version 2.1, D50 illuminant, no tags.
Profile header()
{
    Profile profile(kLength, 0);
    put32(profile, 0, kLength);
    put32(profile, 8, 0x02100000);
    const std::array<std::pair<std::size_t, const char*>, 4> signatures{
        {{12, "mntr"}, {16, "RGB "}, {20, "XYZ "}, {36, "acsp"}}};
    for (const auto& [at, text] : signatures)
        for (std::size_t i = 0; i < 4; ++i)
            profile[at + i] = std::uint8_t(text[i]);
    put32(profile, 68, 0xF6D6);
    put32(profile, 72, 0x10000);
    put32(profile, 76, 0xD32D);
    return profile;
}

std::uint32_t adlerOf(const Profile& bytes)
{
    return std::uint32_t(adler32(adler32(0, nullptr, 0), bytes.data(), uInt(bytes.size())));
}

std::uint32_t crcOf(const Profile& bytes)
{
    return std::uint32_t(crc32(crc32(0, nullptr, 0), bytes.data(), uInt(bytes.size())));
}

// Adler-32's low half sums the bytes; raising the last bytes sets it. Its
// high half weighs each byte by its distance from the end, so raising one
// byte and lowering the next by as much adds exactly that to it alone.
void matchAdler(Profile& profile)
{
    std::uint32_t low = ((kAdler & 0xFFFF) + kAdlerModulus - (adlerOf(profile) & 0xFFFF)) % kAdlerModulus;
    for (std::size_t i = kLength - 1; low > 0; --i) {  // down to byte 2887 at most
        const std::uint32_t step = std::min<std::uint32_t>(low, 255u - profile[i]);
        profile[i] = std::uint8_t(profile[i] + step);
        low -= step;
    }
    std::uint32_t high = ((kAdler >> 16) + kAdlerModulus - (adlerOf(profile) >> 16)) % kAdlerModulus;
    for (std::size_t i = 1000; high > 0; i += 2) {  // up to byte 2032 at most
        const std::uint32_t step = std::min<std::uint32_t>(high, 127);
        profile[i] = std::uint8_t(profile[i] + step);
        profile[i + 1] = std::uint8_t(profile[i + 1] - step);
        high -= step;
    }
}

// Raising bytes i and i + 2 by d and lowering i + 1 by 2d leaves both
// halves of Adler-32 as they were, and changes the CRC by a fixed pattern
// (the CRC of a change is linear in its bits). Gaussian elimination over
// many such changes finds the set whose patterns add up to what the CRC
// lacks.
void matchCrc(Profile& profile)
{
    const Profile zeros(kLength, 0);
    struct Change {
        std::size_t at;
        int amount;
        std::uint32_t pattern;
    };
    std::vector<Change> changes;
    for (std::size_t k = 0; k < 120; ++k) {
        const std::size_t at = 2100 + 3 * k;
        const int amount = 1 + int(k % 3);
        Profile difference(kLength, 0);
        difference[at] = std::uint8_t(profile[at] ^ (profile[at] + amount));
        difference[at + 1] = std::uint8_t(profile[at + 1] ^ (profile[at + 1] - 2 * amount));
        difference[at + 2] = std::uint8_t(profile[at + 2] ^ (profile[at + 2] + amount));
        changes.push_back({at, amount, crcOf(difference) ^ crcOf(zeros)});
    }
    // Each basis row: a pattern with its highest bit as pivot, and the
    // changes whose patterns it sums.
    std::array<std::pair<std::uint32_t, std::vector<bool>>, 32> basis{};
    for (std::size_t c = 0; c < changes.size(); ++c) {
        std::uint32_t pattern = changes[c].pattern;
        std::vector<bool> used(changes.size(), false);
        used[c] = true;
        while (pattern != 0) {
            const int pivot = 31 - std::countl_zero(pattern);
            auto& [row, rowUsed] = basis[std::size_t(pivot)];
            if (row == 0) {
                row = pattern;
                rowUsed = used;
                break;
            }
            pattern ^= row;
            for (std::size_t i = 0; i < used.size(); ++i)
                used[i] = used[i] != rowUsed[i];
        }
    }
    std::uint32_t missing = crcOf(profile) ^ kCrc;
    std::vector<bool> chosen(changes.size(), false);
    while (missing != 0) {
        const auto& [row, rowUsed] = basis[std::size_t(31 - std::countl_zero(missing))];
        missing ^= row;
        for (std::size_t i = 0; i < chosen.size(); ++i)
            chosen[i] = chosen[i] != rowUsed[i];
    }
    for (std::size_t c = 0; c < changes.size(); ++c)
        if (chosen[c]) {
            profile[changes[c].at] = std::uint8_t(profile[changes[c].at] + changes[c].amount);
            profile[changes[c].at + 1] = std::uint8_t(profile[changes[c].at + 1] - 2 * changes[c].amount);
            profile[changes[c].at + 2] = std::uint8_t(profile[changes[c].at + 2] + changes[c].amount);
        }
}

QByteArray knownIncorrectProfile()
{
    Profile profile = header();
    // Room for the changes below to move both ways.
    std::fill(profile.begin() + 1000, profile.begin() + 2500, std::uint8_t(128));
    matchAdler(profile);
    matchCrc(profile);
    return QByteArray(reinterpret_cast<const char*>(profile.data()), qsizetype(profile.size()));
}

}  // namespace

QByteArray withKnownIncorrectSrgbProfile(const QByteArray& png)
{
    const QByteArray compressed = qCompress(knownIncorrectProfile()).mid(4);  // zlib stream, without Qt's length
    const QByteArray chunk = pngChunk("iCCP", QByteArray("HP sRGB\0\0", 9) + compressed);
    constexpr qsizetype kAfterHeader = 8 + 25;  // signature, IHDR
    return png.left(kAfterHeader) + chunk + png.mid(kAfterHeader);
}
