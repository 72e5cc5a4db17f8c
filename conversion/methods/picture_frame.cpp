#include "conversion/methods/picture_frame.h"

#include <algorithm>
#include <cmath>

namespace {

LinearImage crop(const LinearImage& picture, int left, int top, int width, int height)
{
    LinearImage part(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            part.at(x, y) = picture.at(left + x, top + y);
    return part;
}

// The whole picture at its shape in the middle of a bar-coloured screen.
LinearImage letterbox(const LinearImage& picture, LinearRgb bar, int width, int lines, double aspect)
{
    // Sizes in units of one line's height.
    const double scale = std::min(width * aspect / picture.width, static_cast<double>(lines) / picture.height);
    const int innerWidth = std::clamp(static_cast<int>(std::lround(picture.width * scale / aspect)), 1, width);
    const int innerLines = std::clamp(static_cast<int>(std::lround(picture.height * scale)), 1, lines);
    const LinearImage inner = areaAverage(picture, innerWidth, innerLines);
    LinearImage framed(width, lines);
    std::fill(framed.pixels.begin(), framed.pixels.end(), bar);
    const int left = (width - innerWidth) / 2, top = (lines - innerLines) / 2;
    for (int y = 0; y < innerLines; ++y)
        for (int x = 0; x < innerWidth; ++x)
            framed.at(left + x, top + y) = inner.at(x, y);
    return framed;
}

// The middle of the picture at the screen's shape.
LinearImage centreCrop(const LinearImage& picture, int width, int lines, double aspect)
{
    const PictureCrop kept = fillCrop(picture.width, picture.height, width, lines, aspect);
    return areaAverage(crop(picture, kept.left, kept.top, kept.width, kept.height), width, lines);
}

float adjusted(float v, const Adjustments& a)
{
    v = std::pow(std::max(v, 0.0f), 1.0f / a.gamma);
    // Contrast works on a perceptual scale (power 1/2.2) so that mid grey
    // stays where the eye puts it.
    const float perceived = std::pow(v, 1 / 2.2f);
    v = std::pow(std::max(0.5f + (perceived - 0.5f) * a.contrast, 0.0f), 2.2f);
    return v + a.brightness;
}

}  // namespace

PictureCrop fillCrop(int pictureWidth, int pictureHeight, int width, int lines, double aspect)
{
    const double screen = width * aspect / lines;
    int cropWidth = pictureWidth, cropHeight = pictureHeight;
    if (static_cast<double>(pictureWidth) / pictureHeight > screen)
        cropWidth = std::clamp(static_cast<int>(std::lround(pictureHeight * screen)), 1, pictureWidth);
    else
        cropHeight = std::clamp(static_cast<int>(std::lround(pictureWidth / screen)), 1, pictureHeight);
    return {(pictureWidth - cropWidth) / 2, (pictureHeight - cropHeight) / 2, cropWidth, cropHeight};
}

double pixelAspect(int width, int lines)
{
    return kScreenAspect * lines / width;
}

LinearImage framePicture(const LinearImage& picture, Fit fit, LinearRgb bar, int width, int lines)
{
    return framePictureAt(picture, fit, bar, width, lines, pixelAspect(width, lines));
}

LinearImage framePictureAt(const LinearImage& picture, Fit fit, LinearRgb bar, int width, int lines,
                           double aspect)
{
    switch (fit) {
    case Fit::Whole: return letterbox(picture, bar, width, lines, aspect);
    case Fit::Fill: return centreCrop(picture, width, lines, aspect);
    case Fit::Stretch: break;
    }
    return areaAverage(picture, width, lines);
}

void adjustPicture(LinearImage& image, const Adjustments& adjustments)
{
    if (adjustments.neutral())
        return;
    for (LinearRgb& p : image.pixels) {
        LinearRgb v{adjusted(p.r, adjustments), adjusted(p.g, adjustments), adjusted(p.b, adjustments)};
        const float grey = 0.2126f * v.r + 0.7152f * v.g + 0.0722f * v.b;
        const float s = adjustments.saturation;
        p = LinearRgb{std::clamp(grey + (v.r - grey) * s, 0.0f, 1.0f),
                      std::clamp(grey + (v.g - grey) * s, 0.0f, 1.0f),
                      std::clamp(grey + (v.b - grey) * s, 0.0f, 1.0f)};
    }
}
