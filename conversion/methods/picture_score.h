#pragma once

#include "conversion/colour_space.h"
#include "conversion/linear_image.h"
#include "conversion/methods/row_palettes.h"
#include "conversion/perceptual/gaussian_blur.h"
#include "conversion/screen.h"

#include <vector>

// How far a converted picture looks from its source. Both are seen in a
// display space (640 x 512 for a whole screen), blurred in linear light by a
// Gaussian that stands in for the eye at a normal viewing distance
// (kScoreSigma), and compared in OKLab. 0 is identical; lower is closer.

// Each logical colour as its linear-light colour, in its row's palette,
// over a block of scaleX x scaleY display pixels.
LinearImage expandToDisplay(const IndexImage& image, const RowPalettes& palettes, int scaleX, int scaleY);

// A screen image in the 640 x 512 display space: a mode 0 pixel is 1 x 2
// display pixels, modes 1 and 4 2 x 2, modes 2 and 5 4 x 2.
LinearImage displayOf(const Screen& image);

// Working room for scoring logical colours, kept between scores so that
// scoring many does not allocate each time.
struct ScoreScratch {
    std::vector<float> line;    // one line of colours, edges repeated
    std::vector<float> across;  // the lines blurred across
    std::vector<float> down;    // one display line blurred both ways
};

// The blurred source, kept so that many results can be scored against it.
class ScoreReference {
public:
    // `source` is in display space; results scored later must be the same size.
    ScoreReference(const LinearImage& source, float sigma = kScoreSigma);

    // Mean OKLab distance between the blurred source and the blurred result, x 100.
    double distance(const LinearImage& result) const;

    // distance(expandToDisplay(image, palette, scaleX, scaleY)) to the bit,
    // several times quicker: each line of logical colours is blurred across
    // once however many display lines show it, four pixels at a time, and
    // the display lines are blurred down, matched and summed one at a time.
    double distance(const IndexImage& image, const RowPalettes& palettes, int scaleX, int scaleY,
                    ScoreScratch& scratch) const;

    // Structural similarity (SSIM, 1 = identical) of the blurred OKLab lightness.
    double lightnessSsim(const LinearImage& result) const;

private:
    int width_;
    int height_;
    float sigma_;
    std::vector<float> taps_;  // of the blur, empty for none
    std::vector<Oklab> lab_;
    // The same as planes, each padded to whole groups of four.
    std::vector<float> labL_, labA_, labB_;
};
