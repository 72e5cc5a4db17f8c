#include "conversion/entry/convert.h"

#include "conversion/entry/picture_conversion.h"
#include "conversion/option_catalogue.h"

bool readsDetail(const Settings& settings)
{
    return readsSource(settings);
}

Result<Conversion> convert(const Settings& settings, const SourcePicture& source, const ProgressReport& progress,
                           std::stop_token stop)
{
    if (const auto problem = settingsProblem(settings))
        return Failure{"--" + std::string(optionName(problem->option)), problem->reason};
    if (source.canvas.width() != kCanvasWidth || source.canvas.height() != kCanvasHeight)
        return Failure{"picture", "the picture was not drawn on the 320 x 256 canvas"};
    if (readsDetail(settings) && (!source.detail || source.detail->width == 0 || source.detail->height == 0))
        return Failure{"picture", "the picture's detail was not decoded"};
    if (stop.stop_requested())
        return Failure::stopped();

    static const LinearImage kNoDetail;
    Screen screen = convertedScreen(settings, source.canvas, source.detail ? *source.detail : kNoDetail, progress, stop);
    if (stop.stop_requested())
        return Failure::stopped();
    // A screen whose colours could change line by line but do not is the
    // one-palette conversion, kept because it looked better.
    std::string note;
    if (settings.raster && screen.palettes.size() == 1)
        note = "one palette for the whole screen looks better than colours by line, so it was kept";
    return Conversion{settings, std::move(screen), std::move(note)};
}
