#include "conversion/raster_budget.h"

int changedColours(const Screen& screen, const LinePalette& from, const LinePalette& to)
{
    const int count = screen.logicalColours();
    int changed = 0;
    for (int colour = 0; colour < count; ++colour) {
        const auto i = static_cast<std::size_t>(colour);
        const bool differs = screen.hasNula() ? (*from.nula)[i] != (*to.nula)[i] : from.physical[i] != to.physical[i];
        changed += differs ? 1 : 0;
    }
    return changed;
}

bool fitsRasterBudget(const Screen& screen)
{
    if (screen.isTeletext() || screen.palettes.size() <= 1)
        return true;
    const RasterBudget budget = rasterBudget(*screen.mode);
    const int allowed = screen.hasNula() ? budget.nulaColours : budget.standardColours;
    if (screen.palettes.front().firstLine != 0)
        return false;
    for (std::size_t i = 1; i < screen.palettes.size(); ++i) {
        const LinePalette& before = screen.palettes[i - 1];
        const LinePalette& after = screen.palettes[i];
        if (after.firstLine <= before.firstLine || after.firstLine >= kScreenLines)
            return false;
        if (after.nula.has_value() != before.nula.has_value())
            return false;
        if (changedColours(screen, before, after) > allowed)
            return false;
    }
    return true;
}
