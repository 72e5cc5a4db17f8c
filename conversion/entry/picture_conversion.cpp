#include "conversion/entry/picture_conversion.h"

#include "conversion/classic/conversion_pass.h"
#include "conversion/colour_space.h"
#include "conversion/option_catalogue.h"
#include "conversion/methods/method_run.h"
#include "conversion/methods/palette_search.h"
#include "conversion/methods/picture_frame.h"
#include "conversion/methods/picture_score.h"
#include "conversion/nula/nula_screen.h"
#include "conversion/raster/raster_screen.h"
#include "conversion/teletext/teletext_conversion.h"
#include "conversion/teletext_mode.h"
#include "conversion/teletext_renderer.h"

#include <cassert>
#include <future>
#include <memory>

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

// About a megabyte of planes and tables: one per conversion, on the heap,
// so that conversions can run side by side.
std::unique_ptr<ConversionState> sampledState(const Settings& settings, const PixelSurface& canvas)
{
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    samplePlanes(canvas, *state);
    applySettings(settings, *state);
    return state;
}

Screen convertClassic(const Settings& settings, const PixelSurface& canvas, const LinearImage& source)
{
    const auto state = sampledState(settings, canvas);
    if (settings.fit != Fit::Stretch || !settings.adjustments.neutral())
        resamplePlanes(settings, source, *state);
    return convertScreen(*state);
}

// Mode 7 fills 640 x 500 display pixels, each of the shape of a 640-column
// pixel of the bitmap modes (which fill 640 x 512), so the picture is framed
// at that size and pixel shape, not from the planes. Stretched and neutral,
// the planes are converted as they are.
Screen convertMode7(const Settings& settings, const PixelSurface& canvas, const LinearImage& source)
{
    if (settings.fit == Fit::Stretch && settings.adjustments.neutral())
        return convertTeletextPicture(planesLinear(*sampledState(settings, canvas)));
    assert(source.width > 0 && source.height > 0);
    LinearImage picture = framePictureAt(source, settings.fit, physicalLinear(settings.barColour), kTeletextWidth,
                                         kTeletextHeight, pixelAspect(kTeletextWidth, 2 * kScreenLines));
    adjustPicture(picture, settings.adjustments);
    return convertTeletextPicture(picture);
}

Screen onePaletteScreen(const Settings& settings, const ScreenMode& mode, const LinearImage& grid,
                        const ProgressReport& progress, std::stop_token stop)
{
    if (settings.nula)
        return nulaScreenImage(mode, grid, settings.method, settings.damping, progress, stop);
    const int width = mode.screenPixelsPerLine();
    const auto bars = settings.fit == Fit::Whole ? std::optional(settings.barColour) : std::nullopt;
    const MethodPalette palette = choosePalette(settings.palette, mode, grid, bars);
    const IndexImage dithered = runMethod(settings.method, grid, palette, settings.damping,
                                          kDisplayWidth / width, kDisplayLines / kScreenLines, progress, stop);
    Screen screen(mode);
    screen.pixels = dithered.pixels;
    for (int i = 0; i < palette.count; ++i)
        screen.palette().physical[static_cast<std::size_t>(i)] = palette.physical[static_cast<std::size_t>(i)];
    return screen;
}

// A share of the progress, from `from` on.
ProgressReport progressPart(const ProgressReport& progress, double from, double share)
{
    if (!progress)
        return {};
    return [progress, from, share](double fraction) { progress(from + share * fraction); };
}

Screen convertMethod(const Settings& settings, const LinearImage& source, const ProgressReport& progress,
                     std::stop_token stop)
{
    const ScreenMode* mode = findScreenMode(settings.mode);
    assert(mode != nullptr && !paletteProblem(settings.palette, settings.mode));
    const LinearImage grid = preparedSource(settings, source, mode->screenPixelsPerLine());
    if (!settings.raster)
        return onePaletteScreen(settings, *mode, grid, progress, stop);
    // Colours by line are kept only where they beat one palette, so both are made.
    if (methodRow(settings.method).family != MethodFamily::Search || rasterStartsFromOnePalette(settings, *mode)) {
        Screen onePalette = onePaletteScreen(settings, *mode, grid, progressPart(progress, 0, 0.5), stop);
        return rasterScreen(settings, *mode, grid, std::move(onePalette), progressPart(progress, 0.5, 0.5), stop);
    }
    // The search takes seconds: the one-palette screen is made on another
    // core meanwhile (reporting no progress of its own).
    auto onePalette = std::async(std::launch::async, [&settings, mode, &grid, stop] {
        return onePaletteScreen(settings, *mode, grid, {}, stop);
    });
    Screen raster = lineByLineScreen(settings, *mode, grid, nullptr, progress, stop);
    return closerScreen(grid, std::move(raster), onePalette.get());
}

}  // namespace

void samplePlanes(const PixelSurface& canvas, ConversionState& state)
{
    for (int y = 0; y < kPictureHeight; ++y) {
        const std::uint32_t* line = canvas.scanLine(y);
        for (int x = 0; x < kPictureWidth; ++x) {
            state.red(x, y) = static_cast<std::int32_t>((line[x] >> 16) & 0xFF);
            state.green(x, y) = static_cast<std::int32_t>((line[x] >> 8) & 0xFF);
            state.blue(x, y) = static_cast<std::int32_t>(line[x] & 0xFF);
        }
    }
}

LinearImage planesLinear(const ConversionState& state)
{
    const int width = state.picwidth > 0 ? state.picwidth : kPictureWidth;
    const int height = state.picheight > 0 ? state.picheight : kPictureHeight;
    assert(width <= kPictureWidth && height <= kPictureHeight);
    LinearImage picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.at(x, y) = LinearRgb{srgbToLinear(static_cast<std::uint8_t>(state.red(x, y))),
                                         srgbToLinear(static_cast<std::uint8_t>(state.green(x, y))),
                                         srgbToLinear(static_cast<std::uint8_t>(state.blue(x, y)))};
    return picture;
}

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

Screen convertedScreen(const Settings& settings, const PixelSurface& canvas, const LinearImage& source,
                       const ProgressReport& progress, std::stop_token stop)
{
    assert(convertibleMode(settings.mode));
    if (findTeletextMode(settings.mode) != nullptr)
        return convertMode7(settings, canvas, source);
    if (settings.method == Method::Classic)
        return convertClassic(settings, canvas, source);
    return convertMethod(settings, source, progress, std::move(stop));
}
