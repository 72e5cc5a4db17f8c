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
    // Mode 7 chooses its own colours and mosaics and reads no method.
    if (findScreenMode(settings.mode) == nullptr)
        settings.method = Method::Classic;
    if (settings.method == Method::Classic || !paletteProblem(settings.palette, settings.mode).empty())
        settings.palette = PaletteChoice{};
    // NuLA colours need a bitmap mode and a linear-light method, and choose
    // the palette themselves.
    if (settings.method == Method::Classic)
        settings.nula = false;
    if (settings.nula)
        settings.palette = PaletteChoice{};
    return settings;
}
