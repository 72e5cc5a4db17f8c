#include "outputs/png_file.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <string_view>

namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int kBytesPerPixel = 3;

void putWord(std::vector<std::uint8_t>& out, std::uint32_t word)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(word >> shift));
}

// A chunk: its length, type, data and the CRC of type and data.
void putChunk(std::vector<std::uint8_t>& out, std::string_view type, const std::vector<std::uint8_t>& data)
{
    putWord(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    putWord(out, static_cast<std::uint32_t>(crc));
}

std::vector<std::uint8_t> header(int width, int height)
{
    std::vector<std::uint8_t> data;
    putWord(data, static_cast<std::uint32_t>(width));
    putWord(data, static_cast<std::uint32_t>(height));
    // 8 bits per sample, colour type 2 (RGB), deflate, adaptive filters, no interlace.
    data.insert(data.end(), {8, 2, 0, 0, 0});
    return data;
}

std::vector<std::uint8_t> rgbLine(const PixelSurface& picture, int y)
{
    std::vector<std::uint8_t> line;
    line.reserve(static_cast<std::size_t>(picture.width()) * kBytesPerPixel);
    const std::uint32_t* pixels = picture.scanLine(y);
    for (int x = 0; x < picture.width(); ++x)
        line.insert(line.end(), {static_cast<std::uint8_t>(pixels[x] >> 16), static_cast<std::uint8_t>(pixels[x] >> 8),
                                 static_cast<std::uint8_t>(pixels[x])});
    return line;
}

int paeth(int left, int up, int upLeft)
{
    const int guess = left + up - upLeft;
    const int toLeft = std::abs(guess - left), toUp = std::abs(guess - up), toUpLeft = std::abs(guess - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft)
        return left;
    return toUp <= toUpLeft ? up : upLeft;
}

// The line filtered with PNG filter `type` (0 none, 1 sub, 2 up, 3 average,
// 4 Paeth) against the line above, led by the filter's byte.
std::vector<std::uint8_t> filtered(const std::vector<std::uint8_t>& line, const std::vector<std::uint8_t>& above,
                                   std::uint8_t type)
{
    std::vector<std::uint8_t> out(line.size() + 1);
    out[0] = type;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const int left = i >= kBytesPerPixel ? line[i - kBytesPerPixel] : 0;
        const int up = above[i];
        const int upLeft = i >= kBytesPerPixel ? above[i - kBytesPerPixel] : 0;
        const int predicted = type == 1 ? left : type == 2 ? up : type == 3 ? (left + up) / 2
                            : type == 4 ? paeth(left, up, upLeft) : 0;
        out[i + 1] = static_cast<std::uint8_t>(line[i] - predicted);
    }
    return out;
}

// The usual choice: the filter whose bytes, read as signed, sum smallest.
std::vector<std::uint8_t> bestFiltered(const std::vector<std::uint8_t>& line, const std::vector<std::uint8_t>& above)
{
    std::vector<std::uint8_t> best;
    long bestSum = 0;
    for (std::uint8_t type = 0; type <= 4; ++type) {
        std::vector<std::uint8_t> candidate = filtered(line, above, type);
        long sum = 0;
        for (std::size_t i = 1; i < candidate.size(); ++i)
            sum += std::abs(static_cast<int>(static_cast<std::int8_t>(candidate[i])));
        if (best.empty() || sum < bestSum) {
            best = std::move(candidate);
            bestSum = sum;
        }
    }
    return best;
}

std::vector<std::uint8_t> filteredLines(const PixelSurface& picture)
{
    std::vector<std::uint8_t> data;
    std::vector<std::uint8_t> above(static_cast<std::size_t>(picture.width()) * kBytesPerPixel, 0);
    for (int y = 0; y < picture.height(); ++y) {
        std::vector<std::uint8_t> line = rgbLine(picture, y);
        const std::vector<std::uint8_t> filteredLine = bestFiltered(line, above);
        data.insert(data.end(), filteredLine.begin(), filteredLine.end());
        above = std::move(line);
    }
    return data;
}

std::vector<std::uint8_t> deflated(const std::vector<std::uint8_t>& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        throw std::bad_alloc();  // with a buffer of compressBound's size only memory can run out
    out.resize(size);
    return out;
}

}  // namespace

std::vector<std::uint8_t> pngBytes(const PixelSurface& picture)
{
    std::vector<std::uint8_t> file(kSignature.begin(), kSignature.end());
    putChunk(file, "IHDR", header(picture.width(), picture.height()));
    putChunk(file, "IDAT", deflated(filteredLines(picture)));
    putChunk(file, "IEND", {});
    return file;
}
