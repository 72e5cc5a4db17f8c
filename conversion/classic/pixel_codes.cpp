#include "conversion/classic/pixel_codes.h"

#include <cstring>

namespace {

// Four pixels side by side, in GCC's and Clang's portable vector type, so the
// comparisons run four at a time on any x86-64 (SSE2) or ARM (NEON) machine.
using Lanes = std::int32_t __attribute__((vector_size(16)));
constexpr int kLanes = 4;

Lanes load(const std::int32_t* from)
{
    Lanes lanes;
    std::memcpy(&lanes, from, sizeof lanes);
    return lanes;
}

void store(std::int32_t* to, Lanes lanes)
{
    std::memcpy(to, &lanes, sizeof lanes);
}

// The codes of four pixels against the thresholds of four columns from
// `column` on. A vector comparison gives -1 where it holds and 0 where not.
template <std::size_t Columns>
Lanes codes(Lanes red, Lanes green, Lanes blue, const Thresholds<Columns>& thresholds, int column)
{
    return ((red >= load(&thresholds.red[column])) & 1) |
           ((green >= load(&thresholds.green[column])) & 2) |
           ((blue >= load(&thresholds.blue[column])) & 4);
}

// One component of screen pixel px, one at a time, for the ends of lines.
std::int32_t sample(ColumnMap map, const std::int32_t* plane, int px)
{
    switch (map) {
    case ColumnMap::Halved: return plane[px / 2];
    case ColumnMap::Doubled: return (plane[2 * px] + plane[2 * px + 1]) / 2;
    case ColumnMap::Same: break;
    }
    return plane[px];
}

struct SourceLine {
    const std::int32_t* red;
    const std::int32_t* green;
    const std::int32_t* blue;
};

// Mean of each pair of neighbouring source columns from `column` on: eight
// columns in, four means out. The division truncates like the scalar one.
Lanes pairMeans(const std::int32_t* plane, int column)
{
    const Lanes first = load(plane + column), second = load(plane + column + kLanes);
    const Lanes left = __builtin_shufflevector(first, second, 0, 2, 4, 6);
    const Lanes right = __builtin_shufflevector(first, second, 1, 3, 5, 7);
    return (left + right) / 2;
}

template <ColumnMap Map>
int sameOrDoubled(const SourceLine& line, const LineThresholds& thresholds, int visible,
                  std::int32_t* out)
{
    int px = 0;
    for (; px + kLanes <= visible; px += kLanes) {
        const int column = px % 16;
        if constexpr (Map == ColumnMap::Doubled)
            store(out + px, codes(pairMeans(line.red, 2 * px), pairMeans(line.green, 2 * px),
                                  pairMeans(line.blue, 2 * px), thresholds, column));
        else
            store(out + px, codes(load(line.red + px), load(line.green + px),
                                  load(line.blue + px), thresholds, column));
    }
    return px;
}

Thresholds<8> everyOther(const LineThresholds& thresholds, int first)
{
    Thresholds<8> half;
    for (int j = 0; j < 8; ++j) {
        half.red[j] = thresholds.red[2 * j + first];
        half.green[j] = thresholds.green[2 * j + first];
        half.blue[j] = thresholds.blue[2 * j + first];
    }
    return half;
}

// Mode 0: four source columns give eight screen pixels. Each column is read
// once and coded against the thresholds of its even and of its odd screen
// pixel; the two sets of codes are then interleaved.
int halved(const SourceLine& line, const LineThresholds& thresholds, int visible, std::int32_t* out)
{
    const Thresholds<8> even = everyOther(thresholds, 0), odd = everyOther(thresholds, 1);
    int px = 0;
    for (; px + 2 * kLanes <= visible; px += 2 * kLanes) {
        const int sx = px / 2, column = sx % 8;
        const Lanes red = load(line.red + sx), green = load(line.green + sx),
                    blue = load(line.blue + sx);
        const Lanes left = codes(red, green, blue, even, column);
        const Lanes right = codes(red, green, blue, odd, column);
        store(out + px, __builtin_shufflevector(left, right, 0, 4, 1, 5));
        store(out + px + kLanes, __builtin_shufflevector(left, right, 2, 6, 3, 7));
    }
    return px;
}

}  // namespace

void lineCodes(ColumnMap map, const ConversionState& state, const LineThresholds& thresholds,
               int y, int visible, int screenWidth, std::int32_t* codes)
{
    const SourceLine line{state.red.line(y), state.green.line(y), state.blue.line(y)};
    int px = 0;
    switch (map) {
    case ColumnMap::Same: px = sameOrDoubled<ColumnMap::Same>(line, thresholds, visible, codes); break;
    case ColumnMap::Doubled:
        px = sameOrDoubled<ColumnMap::Doubled>(line, thresholds, visible, codes);
        break;
    case ColumnMap::Halved: px = halved(line, thresholds, visible, codes); break;
    }
    for (; px < visible; ++px)
        codes[px] = pixelCode(sample(map, line.red, px), sample(map, line.green, px),
                              sample(map, line.blue, px), thresholds, px % 16);
    std::fill(codes + visible, codes + screenWidth, kUnvisited);
}
