#include "conversion/settings.h"

Settings settingsOf(const ConversionState& state)
{
    return Settings{state.curmode, static_cast<Halftone>(state.htone), state.stagger};
}

void applySettings(const Settings& settings, ConversionState& state)
{
    state.curmode = settings.mode;
    state.htone = static_cast<std::int32_t>(settings.halftone);
    state.stagger = settings.stagger;
}
