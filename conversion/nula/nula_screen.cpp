#include "conversion/nula/nula_screen.h"

#include "conversion/methods/method_run.h"
#include "conversion/methods/picture_score.h"
#include "conversion/nula/nula_palette.h"

#include <cassert>

Screen nulaScreenImage(const ScreenMode& mode, const LinearImage& grid, Method method, float damping,
                            const ProgressReport& progress, std::stop_token stop)
{
    assert(method != Method::Classic);
    const int width = mode.screenPixelsPerLine();
    const NulaTable colours = chooseNulaColours(grid, mode, method, damping);
    const MethodPalette palette = nulaMethodPalette(colours, nulaColourCount(mode));
    IndexImage dithered =
        runMethod(method, grid, palette, damping, kDisplayWidth / width, kDisplayLines / kScreenLines, progress, stop);
    return nulaImageOf(mode, std::move(dithered.pixels), colours);
}

Screen nulaImageOf(const ScreenMode& mode, std::vector<std::uint8_t> dithered, const NulaTable& colours)
{
    Screen image(mode);
    image.pixels = std::move(dithered);
    image.palette().nula = colours;
    for (std::size_t logical = 0; logical < image.palette().physical.size(); ++logical)
        image.palette().physical[logical] = nearestStandardColour(colours[logical]);
    return image;
}
