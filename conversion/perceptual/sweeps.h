#pragma once

#include <type_traits>

// The loop of every local search here. Visits a width x height grid row by
// row, left to right, calling move(x, y, sweep), which tries its changes at
// (x, y) and returns whether it kept one, and after each row
// afterRow(sweep, y) (for progress); an afterRow that returns a bool stops
// the search when it returns false. Stops after a sweep that kept nothing,
// since another would try the same changes on the same picture, or after
// maxSweeps. Returns how many sweeps ran.
template <typename Move, typename AfterRow>
int sweepUntilSettled(int width, int height, int maxSweeps, Move&& move, AfterRow&& afterRow)
{
    for (int sweep = 0; sweep < maxSweeps; ++sweep) {
        bool changed = false;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                changed = move(x, y, sweep) || changed;
            if constexpr (std::is_same_v<decltype(afterRow(sweep, y)), bool>) {
                if (!afterRow(sweep, y))
                    return sweep + 1;
            } else {
                afterRow(sweep, y);
            }
        }
        if (!changed)
            return sweep + 1;
    }
    return maxSweeps;
}

// The same with nothing to do after a row.
template <typename Move>
int sweepUntilSettled(int width, int height, int maxSweeps, Move&& move)
{
    return sweepUntilSettled(width, height, maxSweeps, move, [](int, int) {});
}
