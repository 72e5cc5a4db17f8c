#include "ui/conversion_settings.h"

#include "conversion/methods/method_options.h"
#include "conversion/screen_modes.h"

Settings conversionSettings(const ConversionState& state, const Settings& options)
{
    Settings settings = options;
    const Settings stored = settingsOf(state);
    settings.mode = stored.mode;
    settings.halftone = stored.halftone;
    settings.stagger = stored.stagger;
    const ScreenMode* mode = findScreenMode(settings.mode);
    if (settings.method == Method::Classic || mode == nullptr || !paletteProblem(settings.palette, settings.mode).empty())
        settings.palette = PaletteChoice{};
    return settings;
}
