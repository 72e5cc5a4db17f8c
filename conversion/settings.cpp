#include "conversion/settings.h"

#include "conversion/screen_modes.h"
#include "conversion/teletext/teletext_mode.h"

bool convertibleMode(int mode)
{
    return findScreenMode(mode) != nullptr || findTeletextMode(mode) != nullptr;
}

Settings settingsOf(const ConversionState& state)
{
    Settings settings;
    settings.mode = state.curmode;
    settings.halftone = static_cast<Halftone>(state.htone);
    settings.stagger = state.stagger;
    return settings;
}

void applySettings(const Settings& settings, ConversionState& state)
{
    state.curmode = settings.mode;
    state.htone = static_cast<std::int32_t>(settings.halftone);
    state.stagger = settings.stagger;
}
