#include "ui/conversion_settings.h"

#include "conversion/option_catalogue.h"

Settings conversionSettings(const ConversionState& state, const Settings& options)
{
    Settings settings = options;
    const Settings stored = settingsOf(state);
    settings.mode = stored.mode;
    settings.halftone = stored.halftone;
    settings.stagger = stored.stagger;
    return withUnreadAtDefaults(settings);
}
