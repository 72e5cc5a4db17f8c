#pragma once

#include <vector>

// A square, tileable map of thresholds in 0..1, each value used once.
struct ThresholdMap {
    int size = 0;
    std::vector<float> values;  // row by row

    float at(int x, int y) const { return values[static_cast<std::size_t>((y % size) * size + x % size)]; }
};

// The 8 x 8 Bayer (recursive dispersed-dot) map.
const ThresholdMap& bayerMap();

// A 64 x 64 blue-noise map made by the void-and-cluster method with a fixed
// seed: the same on every run. Built on first use and kept.
const ThresholdMap& blueNoiseMap();
