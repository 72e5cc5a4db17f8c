#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Integer arrays declared by their upper bounds: every index runs from 0 to its
// bound inclusive, so each array is one larger in every dimension than the part
// the program uses. The spare column and row are read as 0 where the conversion
// pass looks one column past the picture. Every element starts at 0.
//
// Storage is row-major by the second index (the scan line for planes), so a
// scan line of a plane is contiguous in memory.
template <int Upper1, int Upper2>
class IntArray2 {
public:
    static constexpr int extent1 = Upper1 + 1;
    static constexpr int extent2 = Upper2 + 1;

    std::int32_t& operator()(int i, int j) { return cells_[index(i, j)]; }
    std::int32_t operator()(int i, int j) const { return cells_[index(i, j)]; }

    // The elements (0..Upper1, j) side by side.
    const std::int32_t* line(int j) const { return &cells_[index(0, j)]; }

    friend bool operator==(const IntArray2&, const IntArray2&) = default;

private:
    static constexpr std::size_t index(int i, int j)
    {
        return static_cast<std::size_t>(j) * extent1 + static_cast<std::size_t>(i);
    }

    std::array<std::int32_t, static_cast<std::size_t>(extent1) * extent2> cells_{};
};

template <int Upper1, int Upper2, int Upper3>
class IntArray3 {
public:
    std::int32_t& operator()(int i, int j, int k) { return cells_[index(i, j, k)]; }
    std::int32_t operator()(int i, int j, int k) const { return cells_[index(i, j, k)]; }

    friend bool operator==(const IntArray3&, const IntArray3&) = default;

private:
    static constexpr std::size_t index(int i, int j, int k)
    {
        return (static_cast<std::size_t>(i) * (Upper2 + 1) + static_cast<std::size_t>(j)) *
                   (Upper3 + 1) +
               static_cast<std::size_t>(k);
    }

    std::array<std::int32_t, static_cast<std::size_t>(Upper1 + 1) * (Upper2 + 1) * (Upper3 + 1)>
        cells_{};
};
