#include "conversion/nula/nula_screen.h"

#include "conversion/methods/method_run.h"
#include "conversion/methods/picture_score.h"
#include "conversion/nula/nula_palette.h"

#include <cassert>

ScreenImage nulaScreenImage(const ScreenMode& mode, const LinearImage& grid, Method method, float damping,
                            const ProgressReport& progress, std::stop_token stop)
{
    assert(method != Method::Classic);
    const int width = mode.screenPixelsPerLine();
    const NulaTable colours = chooseNulaColours(grid, mode, method, damping);
    const MethodPalette palette = nulaMethodPalette(colours, nulaColourCount(mode));
    IndexImage dithered =
        runMethod(method, grid, palette, damping, kDisplayWidth / width, kDisplayHeight / kScreenLines, progress, stop);
    return nulaImageOf(mode, std::move(dithered.pixels), colours);
}

ScreenImage nulaImageOf(const ScreenMode& mode, std::vector<std::uint8_t> dithered, const NulaTable& colours)
{
    ScreenImage image(mode);
    image.pixels = std::move(dithered);
    image.nula = colours;
    for (std::size_t logical = 0; logical < image.palette.size(); ++logical)
        image.palette[logical] = nearestStandardColour(colours[logical]);
    return image;
}
