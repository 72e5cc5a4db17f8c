#include "conversion/methods/threshold_maps.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

ThresholdMap fromRanks(int size, const std::vector<int>& rank)
{
    ThresholdMap map{size, std::vector<float>(rank.size())};
    for (std::size_t i = 0; i < rank.size(); ++i)
        map.values[i] = (static_cast<float>(rank[i]) + 0.5f) / static_cast<float>(rank.size());
    return map;
}

ThresholdMap makeBayer()
{
    constexpr int size = 8;
    std::vector<int> rank(size * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int value = 0;
            for (int bit = 0; bit < 3; ++bit) {
                const int xb = (x >> bit) & 1, yb = (y >> bit) & 1;
                value |= ((xb ^ yb) << (2 * (2 - bit) + 1)) | (yb << (2 * (2 - bit)));
            }
            rank[static_cast<std::size_t>(y * size + x)] = value;
        }
    return fromRanks(size, rank);
}

// The void-and-cluster pattern: an energy field (the sum of a toroidal
// Gaussian around every set point) finds the tightest cluster (the set point
// of most energy) and the largest void (the empty point of least).
class Pattern {
public:
    static constexpr int kSize = 64;
    static constexpr int kCells = kSize * kSize;

    Pattern() : set_(kCells, false), energy_(kCells, 0.0f), kernel_(kCells)
    {
        constexpr float sigma = 1.5f;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const int dx = std::min(x, kSize - x), dy = std::min(y, kSize - y);
                kernel_[static_cast<std::size_t>(y * kSize + x)] =
                    std::exp(-static_cast<float>(dx * dx + dy * dy) / (2 * sigma * sigma));
            }
    }

    bool isSet(int cell) const { return set_[static_cast<std::size_t>(cell)]; }

    void toggle(int cell)
    {
        const bool on = !set_[static_cast<std::size_t>(cell)];
        set_[static_cast<std::size_t>(cell)] = on;
        const int cx = cell % kSize, cy = cell / kSize;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const float k = kernel_[static_cast<std::size_t>(((y - cy + kSize) % kSize) * kSize + (x - cx + kSize) % kSize)];
                energy_[static_cast<std::size_t>(y * kSize + x)] += on ? k : -k;
            }
    }

    // The set cell of most energy (wanted true) or empty cell of least.
    int extreme(bool wanted) const
    {
        int found = -1;
        for (int cell = 0; cell < kCells; ++cell) {
            if (isSet(cell) != wanted)
                continue;
            const float e = energy_[static_cast<std::size_t>(cell)];
            if (found < 0 || (wanted ? e > energy_[static_cast<std::size_t>(found)] : e < energy_[static_cast<std::size_t>(found)]))
                found = cell;
        }
        return found;
    }

private:
    std::vector<bool> set_;
    std::vector<float> energy_;
    std::vector<float> kernel_;
};

// A fixed-seed scattering of points, then points moved from the tightest
// cluster to the largest void until that changes nothing.
Pattern initialPattern(int points)
{
    Pattern pattern;
    std::uint32_t state = 0x9E3779B9u;
    for (int placed = 0; placed < points;) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const int cell = static_cast<int>(state % Pattern::kCells);
        if (!pattern.isSet(cell)) {
            pattern.toggle(cell);
            ++placed;
        }
    }
    for (int round = 0; round < Pattern::kCells; ++round) {
        const int cluster = pattern.extreme(true);
        pattern.toggle(cluster);
        const int gap = pattern.extreme(false);
        if (gap == cluster) {
            pattern.toggle(cluster);
            break;
        }
        pattern.toggle(gap);
    }
    return pattern;
}

ThresholdMap makeBlueNoise()
{
    constexpr int initialPoints = Pattern::kCells / 10;
    const Pattern initial = initialPattern(initialPoints);
    std::vector<int> rank(Pattern::kCells, 0);
    // Below the initial points: ranked by taking tightest clusters away.
    Pattern shrinking = initial;
    for (int r = initialPoints - 1; r >= 0; --r) {
        const int cluster = shrinking.extreme(true);
        shrinking.toggle(cluster);
        rank[static_cast<std::size_t>(cluster)] = r;
    }
    // Above them: ranked by filling the largest voids.
    Pattern growing = initial;
    for (int r = initialPoints; r < Pattern::kCells; ++r) {
        const int gap = growing.extreme(false);
        growing.toggle(gap);
        rank[static_cast<std::size_t>(gap)] = r;
    }
    return fromRanks(Pattern::kSize, rank);
}

}  // namespace

const ThresholdMap& bayerMap()
{
    static const ThresholdMap map = makeBayer();
    return map;
}

const ThresholdMap& blueNoiseMap()
{
    static const ThresholdMap map = makeBlueNoise();
    return map;
}
