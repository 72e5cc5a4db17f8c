#include "conversion/methods/picture_conversion.h"

#include "conversion/colour_space.h"
#include "conversion/methods/method_run.h"
#include "conversion/methods/palette_search.h"
#include "conversion/methods/picture_frame.h"
#include "conversion/methods/picture_score.h"

#include <cassert>

namespace {

// Makes the planes again from the framed, adjusted source.
void resamplePlanes(const Settings& settings, const LinearImage& source, ConversionState& state)
{
    const LinearImage planes = preparedSource(settings, source, kPictureWidth);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            const LinearRgb& p = planes.at(x, y);
            state.red(x, y) = linearToSrgb(p.r);
            state.green(x, y) = linearToSrgb(p.g);
            state.blue(x, y) = linearToSrgb(p.b);
        }
}

Conversion convertClassic(const Settings& settings, ConversionState& state, const LinearImage& source,
                          PixelSurface& preview)
{
    applySettings(settings, state);
    if (settings.fit != Fit::Stretch || !settings.adjustments.neutral())
        resamplePlanes(settings, source, state);
    return convertScreen(state, preview);
}

}  // namespace

bool readsSource(const Settings& settings)
{
    return settings.method != Method::Classic || settings.fit != Fit::Stretch || !settings.adjustments.neutral();
}

LinearImage preparedSource(const Settings& settings, const LinearImage& source, int width)
{
    assert(source.width > 0 && source.height > 0);
    LinearImage framed = framePicture(source, settings.fit, physicalLinear(settings.barColour), width, kScreenLines);
    adjustPicture(framed, settings.adjustments);
    return framed;
}

Conversion convertWithSettings(const Settings& settings, ConversionState& state, const LinearImage& source,
                               PixelSurface& preview, const ProgressReport& progress)
{
    if (settings.method == Method::Classic)
        return convertClassic(settings, state, source, preview);
    const ScreenMode* mode = findScreenMode(settings.mode);
    assert(mode != nullptr && paletteProblem(settings.palette, settings.mode).empty());
    const int width = mode->screenPixelsPerLine();
    const LinearImage grid = preparedSource(settings, source, width);
    const MethodPalette palette = choosePalette(settings.palette, *mode, grid);
    const IndexImage dithered = runMethod(settings.method, grid, palette, settings.damping,
                                          kDisplayWidth / width, kDisplayHeight / kScreenLines, progress);
    ScreenImage image(*mode);
    image.pixels = dithered.pixels;
    for (int i = 0; i < palette.count; ++i)
        image.palette[static_cast<std::size_t>(i)] = palette.physical[static_cast<std::size_t>(i)];
    return finishConversion(std::move(image), preview);
}
