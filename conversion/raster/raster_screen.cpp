#include "conversion/raster/raster_screen.h"

#include "conversion/methods/method_run.h"
#include "conversion/methods/picture_score.h"
#include "conversion/nula/nula_palette.h"
#include "conversion/raster/line_colour_refinement.h"
#include "conversion/raster/standard_lines.h"
#include "conversion/raster_budget.h"

#include <cassert>

namespace {

// Each line's colours, as the method reads them and as the screen keeps them.
struct LineColours {
    std::vector<MethodPalette> methodPalettes;
    std::vector<LinePalette> screenPalettes;
};

LineColours standardLines(const Settings& settings, const ScreenMode& mode, const LinearImage& grid)
{
    const auto bars = settings.fit == Fit::Whole ? std::optional(settings.barColour) : std::nullopt;
    LineColours lines;
    const Screen blank(mode);
    for (const auto& physical : standardLinePalettes(grid, mode, bars)) {
        lines.methodPalettes.push_back(methodPalette(physical, mode.numcols));
        LinePalette line = blank.palette();
        std::copy_n(physical.begin(), mode.numcols, line.physical.begin());
        lines.screenPalettes.push_back(line);
    }
    return lines;
}

LineColours nulaLines(const std::vector<NulaTable>& tables, const ScreenMode& mode)
{
    LineColours lines;
    for (const NulaTable& colours : tables) {
        lines.methodPalettes.push_back(nulaMethodPalette(colours, nulaColourCount(mode)));
        LinePalette line;
        line.nula = colours;
        for (std::size_t logical = 0; logical < line.physical.size(); ++logical)
            line.physical[logical] = nearestStandardColour(colours[logical]);
        lines.screenPalettes.push_back(line);
    }
    return lines;
}

// The schedule: an entry from each line whose colours differ from the line above's.
std::vector<LinePalette> schedule(const std::vector<LinePalette>& lines)
{
    std::vector<LinePalette> entries;
    for (std::size_t y = 0; y < lines.size(); ++y) {
        LinePalette line = lines[y];
        line.firstLine = static_cast<int>(y);
        if (entries.empty() || entries.back().physical != line.physical || entries.back().nula != line.nula)
            entries.push_back(line);
    }
    return entries;
}

double pictureScore(const ScoreReference& reference, const Screen& screen)
{
    return reference.distance(displayOf(screen));
}

}  // namespace

bool rasterStartsFromOnePalette(const Settings& settings, const ScreenMode& mode)
{
    return settings.nula && methodRow(settings.method).family == MethodFamily::Search &&
           rasterBudget(mode).nulaColours < nulaColourCount(mode);
}

Screen lineByLineScreen(const Settings& settings, const ScreenMode& mode, const LinearImage& grid,
                        const Screen* onePalette, const ProgressReport& progress, std::stop_token stop)
{
    assert(settings.method != Method::Classic && grid.height == kScreenLines);
    assert(onePalette != nullptr || !rasterStartsFromOnePalette(settings, mode));
    Screen raster(mode);
    if (settings.nula && methodRow(settings.method).family == MethodFamily::Search) {
        // The search refines each line's colours together with the pixels.
        NulaLinePicture searched = searchedNulaLines(settings, mode, grid, onePalette, progress, stop);
        raster.pixels = std::move(searched.pixels.pixels);
        raster.palettes = schedule(nulaLines(searched.colours, mode).screenPalettes);
    } else {
        const LineColours lines = settings.nula
                                      ? nulaLines(fittedNulaLines(settings, mode, grid), mode)
                                      : standardLines(settings, mode, grid);
        const int width = mode.screenPixelsPerLine();
        IndexImage dithered = runMethod(settings.method, grid, RowPalettes(lines.methodPalettes), settings.damping,
                                        kDisplayWidth / width, kDisplayLines / kScreenLines, progress, stop);
        raster.pixels = std::move(dithered.pixels);
        raster.palettes = schedule(lines.screenPalettes);
    }
    assert(fitsRasterBudget(raster));
    return raster;
}

Screen closerScreen(const LinearImage& grid, Screen raster, Screen onePalette)
{
    const ScoreReference reference(areaAverage(grid, kDisplayWidth, kDisplayLines));
    if (raster.palettes.size() > 1 && pictureScore(reference, raster) < pictureScore(reference, onePalette))
        return raster;
    return onePalette;
}

Screen rasterScreen(const Settings& settings, const ScreenMode& mode, const LinearImage& grid, Screen onePalette,
                    const ProgressReport& progress, std::stop_token stop)
{
    Screen raster = lineByLineScreen(settings, mode, grid, &onePalette, progress, stop);
    return closerScreen(grid, std::move(raster), std::move(onePalette));
}
