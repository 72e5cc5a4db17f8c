#include "conversion/classic/halftone.h"

namespace {

const IntArray2<4, 4>* basePattern(const ConversionState& state)
{
    switch (static_cast<Halftone>(state.htone)) {
    case Halftone::Fine: return &state.sub1;
    case Halftone::Coarse: return &state.sub2;
    case Halftone::Spiral: return &state.sub3;
    case Halftone::Diagonal: return &state.sub4;
    case Halftone::None: break;
    }
    return nullptr;
}

// The quadrants are filled top-left, bottom-right, bottom-left, top-right (i
// running down), so each level spreads consecutive ranks as far apart as it can.
void subdivideTo8(IntArray2<16, 16>& mat, const IntArray2<4, 4>& base)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            const std::int32_t s = base(i, j);
            mat(i, j) = 16 * s;
            mat(i + 4, j + 4) = 16 * s + 4;
            mat(i + 4, j) = 16 * s + 8;
            mat(i, j + 4) = 16 * s + 12;
        }
}

void subdivideTo16(IntArray2<16, 16>& mat)
{
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            const std::int32_t p = mat(i, j);
            mat(i + 8, j + 8) = p + 1;
            mat(i + 8, j) = p + 2;
            mat(i, j + 8) = p + 3;
        }
}

}  // namespace

std::int32_t scaledOffset(std::int32_t rank)
{
    const std::int32_t d = (rank - 128) * 9;
    return static_cast<std::int32_t>(static_cast<double>(d) / 10.0);
}

IntArray2<16, 16> halftoneRanks(const ConversionState& state)
{
    IntArray2<16, 16> ranks{};
    if (const auto* base = basePattern(state)) {
        subdivideTo8(ranks, *base);
        subdivideTo16(ranks);
    }
    return ranks;
}

void InitMat(ConversionState& state)
{
    const IntArray2<16, 16> ranks = halftoneRanks(state);
    const bool flat = basePattern(state) == nullptr;
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; ++j)
            state.mat(i, j) = flat ? 0 : scaledOffset(ranks(i, j));
}
