#pragma once

#include "conversion/colour_space.h"
#include "conversion/fast_oklab.h"
#include "conversion/linear_image.h"
#include "conversion/perceptual/linear_sums.h"

#include <cassert>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

// Each colour of `image` in OKLab, converted by `toLab`: the blurred target
// a search aims at, taken once.
template <typename ToLab>
std::vector<Oklab> oklabOf(const LinearImage& image, ToLab toLab)
{
    std::vector<Oklab> lab;
    lab.reserve(image.pixels.size());
    for (const LinearRgb& p : image.pixels)
        lab.push_back(toLab(p));
    return lab;
}

// The error a local search lowers: over a grid of samples, the OKLab
// distance between the picture shown, blurred in linear light, and the
// blurred target, kept sample by sample so that a change is judged by the
// few samples its blur reaches. The shown colours are taken to OKLab with
// the cube root `cbrt`: fastCbrt, or roughCbrt where only comparisons matter.
template <float (*cbrt)(float) = fastCbrt>
class BlurredError {
public:
    BlurredError(std::vector<Oklab> target, LinearImage shown)
        : target_(std::move(target)), shown_(std::move(shown)), cost_(target_.size())
    {
        assert(target_.size() == shown_.pixels.size());
        for (std::size_t i = 0; i < cost_.size(); ++i)
            cost_[i] = distance(shown_.pixels[i], i);
    }

    int width() const { return shown_.width; }
    int height() const { return shown_.height; }
    std::size_t sample(int x, int y) const { return static_cast<std::size_t>(y * shown_.width + x); }

    // How the distance at sample i would change were `added` added to the
    // blurred picture there.
    float changeIf(std::size_t i, const LinearRgb& added) const
    {
        return distance(shown_.pixels[i] + added, i) - cost_[i];
    }

    // Adds `added` to the blurred picture at sample i.
    void add(std::size_t i, const LinearRgb& added)
    {
        shift(i, added);
        recost(i);
    }

    // add() in two steps, for a change of several parts that reach the same
    // samples: shift() by each part, then recost() each sample once.
    void shift(std::size_t i, const LinearRgb& added)
    {
        shown_.pixels[i] = shown_.pixels[i] + added;
    }
    void recost(std::size_t i) { cost_[i] = distance(shown_.pixels[i], i); }

private:
    float distance(const LinearRgb& c, std::size_t i) const
    {
        return std::sqrt(oklabDistance2(toOklabFast<cbrt>(c), target_[i]));
    }

    std::vector<Oklab> target_;
    LinearImage shown_;
    std::vector<float> cost_;  // each sample's distance now
};
