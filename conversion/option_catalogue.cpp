#include "conversion/option_catalogue.h"

#include "conversion/raster_budget.h"
#include "conversion/screen_modes.h"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>
#include <vector>

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// "a, b or c" from the names of a table's rows.
template <typename Rows>
std::string sentence(const Rows& rows)
{
    std::string text;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            text += i + 1 == rows.size() ? " or " : ", ";
        text += rows[i].name;
    }
    return text;
}

template <typename Rows>
auto rowNamed(const Rows& rows, std::string_view name) -> const typename Rows::value_type*
{
    for (const auto& row : rows)
        if (!row.name.empty() && sameName(name, row.name))
            return &row;
    return nullptr;
}

const ScreenMode* bitmapMode(const Settings& settings)
{
    return findScreenMode(settings.mode);
}

// The physical colours the palette on show can hold: those named, or the
// mode's own; nothing for "best", which chooses among those that hold a
// colour asked for.
bool paletteLacks(const Settings& settings, const ScreenMode& mode, std::uint8_t colour)
{
    const PaletteChoice& choice = settings.palette;
    if (settings.nula && readsOption(settings, Option::Nula))
        return false;  // the colours are chosen for the picture, bars and all
    if (choice.kind == PaletteChoice::Kind::Best && methodRow(settings.method).readsPalette())
        return false;
    if (choice.kind == PaletteChoice::Kind::Named && methodRow(settings.method).readsPalette())
        return std::find(choice.colours.begin(), choice.colours.begin() + choice.count, colour) ==
               choice.colours.begin() + choice.count;
    for (int i = 0; i < mode.numcols; ++i)
        if (physicalColour(mode.palette[static_cast<std::size_t>(i)]) == colour)
            return false;
    return true;
}

// "--dither a, b or c": the methods for which `reads` holds.
std::string methodsThat(bool (MethodRow::*reads)() const)
{
    std::vector<MethodRow> rows;
    std::copy_if(kMethodRows.begin(), kMethodRows.end(), std::back_inserter(rows),
                 [reads](const MethodRow& row) { return (row.*reads)(); });
    return "--dither " + sentence(rows);
}

const std::string kModeSevenReason = "cannot be used with mode 7, which chooses its own colours";

std::optional<SettingProblem> modeSevenProblem(const Settings& settings)
{
    const std::string& reason = kModeSevenReason;
    if (settings.method != Method::Classic)
        return SettingProblem{Option::Method, reason};
    if (settings.halftone != Halftone::None)
        return SettingProblem{Option::Halftone, reason};
    if (settings.stagger)
        return SettingProblem{Option::Stagger, reason};
    if (settings.palette.kind != PaletteChoice::Kind::Default)
        return SettingProblem{Option::Palette, reason};
    return std::nullopt;
}

std::optional<SettingProblem> nulaProblem(const Settings& settings)
{
    if (!settings.nula)
        return std::nullopt;
    if (bitmapMode(settings) == nullptr || settings.method == Method::Classic)
        return unreadProblem(settings, Option::Nula);
    if (settings.palette.kind != PaletteChoice::Kind::Default)
        return unreadProblem(settings, Option::Palette);
    return std::nullopt;
}

std::optional<SettingProblem> rasterProblem(const Settings& settings)
{
    if (!settings.raster)
        return std::nullopt;
    return unreadProblem(settings, Option::Raster);
}

std::optional<SettingProblem> rangeProblem(const Settings& settings)
{
    for (const NumberRow& row : kNumberRows) {
        const double value = numberOf(settings, row.option);
        if (!(value >= row.min && value <= row.max) || (row.whole && value != std::floor(value)))
            return SettingProblem{row.option, "out of its range"};
    }
    return std::nullopt;
}

std::optional<SettingProblem> barProblem(const Settings& settings)
{
    const ScreenMode* mode = bitmapMode(settings);
    if (settings.fit != Fit::Whole || mode == nullptr || !paletteLacks(settings, *mode, settings.barColour))
        return std::nullopt;
    const bool named = settings.palette.kind == PaletteChoice::Kind::Named;
    return SettingProblem{Option::Bar, std::string(kColourNames[settings.barColour]) + " (" +
                                           std::to_string(settings.barColour) + ") is not in " +
                                           (named ? "the palette " + paletteText(settings.palette)
                                                  : "mode " + std::to_string(settings.mode) + "'s colours")};
}

}  // namespace

const MethodRow& methodRow(Method method)
{
    const auto row = std::find_if(kMethodRows.begin(), kMethodRows.end(),
                                  [method](const MethodRow& r) { return r.method == method; });
    assert(row != kMethodRows.end());
    return *row;
}

const NumberRow& numberRow(Option option)
{
    const auto row = std::find_if(kNumberRows.begin(), kNumberRows.end(),
                                  [option](const NumberRow& r) { return r.option == option; });
    assert(row != kNumberRows.end());
    return *row;
}

std::string_view optionName(Option option)
{
    for (const OptionRow& row : kOptionRows)
        if (row.option == option)
            return row.name;
    return numberRow(option).name;
}

double numberOf(const Settings& settings, Option option)
{
    switch (option) {
    case Option::Bar: return settings.barColour;
    case Option::Brightness: return settings.adjustments.brightness;
    case Option::Contrast: return settings.adjustments.contrast;
    case Option::Saturation: return settings.adjustments.saturation;
    case Option::Gamma: return settings.adjustments.gamma;
    case Option::Damping: return settings.damping;
    default: break;
    }
    assert(!"not a number option");
    return 0;
}

void setNumber(Settings& settings, Option option, double value)
{
    const auto number = static_cast<float>(value);
    switch (option) {
    case Option::Bar: settings.barColour = static_cast<std::uint8_t>(value); return;
    case Option::Brightness: settings.adjustments.brightness = number; return;
    case Option::Contrast: settings.adjustments.contrast = number; return;
    case Option::Saturation: settings.adjustments.saturation = number; return;
    case Option::Gamma: settings.adjustments.gamma = number; return;
    case Option::Damping: settings.damping = number; return;
    default: break;
    }
    assert(!"not a number option");
}

bool slow(const Settings& settings)
{
    return methodRow(settings.method).slow();
}

const PackingRow& packingRow(bool thorough)
{
    return kPackingRows[thorough ? 1 : 0];
}

std::string_view methodName(Method method)
{
    return methodRow(method).name;
}

std::optional<Method> methodNamed(std::string_view name)
{
    const auto row = rowNamed(kMethodRows, name);
    return row ? std::optional(row->method) : std::nullopt;
}

std::string_view halftoneName(Halftone halftone)
{
    return kHalftoneRows[static_cast<std::size_t>(halftone)].name;
}

std::optional<Halftone> halftoneNamed(std::string_view name)
{
    const auto row = rowNamed(kHalftoneRows, name);
    return row ? std::optional(row->halftone) : std::nullopt;
}

std::string_view fitName(Fit fit)
{
    return kFitRows[static_cast<std::size_t>(fit)].name;
}

std::optional<Fit> fitNamed(std::string_view name)
{
    const auto row = rowNamed(kFitRows, name);
    return row ? std::optional(row->fit) : std::nullopt;
}

std::optional<PaletteChoice> paletteNamed(std::string_view text)
{
    if (const auto row = rowNamed(kPaletteKindRows, text))
        return PaletteChoice{row->kind, {}, 0};
    PaletteChoice choice{PaletteChoice::Kind::Named, {}, 0};
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        int colour = -1;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), colour);
        if (error != std::errc{} || end != item.data() + item.size() || colour < 0 || colour > 7 ||
            choice.count == 8)
            return std::nullopt;
        choice.colours[static_cast<std::size_t>(choice.count++)] = static_cast<std::uint8_t>(colour);
        if (comma == std::string_view::npos)
            return choice;
        text.remove_prefix(comma + 1);
    }
}

std::string paletteText(const PaletteChoice& choice)
{
    if (choice.kind != PaletteChoice::Kind::Named)
        return std::string(kPaletteKindRows[static_cast<std::size_t>(choice.kind)].name);
    std::string text;
    for (int i = 0; i < choice.count; ++i)
        text += (i > 0 ? "," : "") + std::to_string(choice.colours[static_cast<std::size_t>(i)]);
    return text;
}

std::string capitalised(std::string_view summary)
{
    std::string sentence(summary);
    if (!sentence.empty())
        sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
    return sentence;
}

std::string methodNames()
{
    return sentence(kMethodRows);
}

std::string halftoneNames()
{
    return sentence(kHalftoneRows);
}

std::string fitNames()
{
    return sentence(kFitRows);
}

bool convertibleMode(int mode)
{
    return findScreenMode(mode) != nullptr || mode == kTeletextModeNumber;
}

std::string convertibleModeNames()
{
    std::string text;
    for (const ScreenMode& mode : kScreenModes)
        text += std::to_string(mode.number) + ", ";
    text.resize(text.size() - 2);
    return text + " or " + std::to_string(kTeletextModeNumber);
}

bool readsOption(const Settings& settings, Option option)
{
    const ScreenMode* mode = bitmapMode(settings);
    const MethodRow& method = methodRow(settings.method);
    switch (option) {
    case Option::Halftone: return mode != nullptr && method.readsHalftone();
    case Option::Stagger: return mode != nullptr && method.readsStagger();
    case Option::Method: return mode != nullptr;
    case Option::Palette: return mode != nullptr && mode->numcols < 8 && method.readsPalette() && !settings.nula;
    case Option::Nula: return mode != nullptr && method.readsPalette();
    case Option::Raster:
        return mode != nullptr && method.readsPalette() &&
               (settings.nula ? rasterBudget(*mode).nulaColours : rasterBudget(*mode).standardColours) > 0;
    case Option::Bar: return settings.fit == Fit::Whole;
    case Option::Damping: return mode != nullptr && method.readsDamping();
    default: return true;
    }
}

namespace {

// Why a conversion with `settings` does not read `option`, which it does not.
std::string unreadReason(const Settings& settings, Option option)
{
    const ScreenMode* mode = bitmapMode(settings);
    const MethodRow& method = methodRow(settings.method);
    switch (option) {
    case Option::Nula:
        return mode == nullptr ? "mode " + std::to_string(settings.mode) + " has no VideoNuLA colours"
                               : "VideoNuLA colours need a method other than classic";
    case Option::Raster:
        if (mode == nullptr)
            return "mode " + std::to_string(settings.mode) + " has no palette to change line by line";
        if (!method.readsPalette())
            return "colours by line need a method other than classic";
        return "mode " + std::to_string(settings.mode) +
               " shows all eight standard colours already; its colours change line by line only with --nula";
    case Option::Palette:
        if (auto problem = paletteProblem(PaletteChoice{PaletteChoice::Kind::Best, {}, 0}, settings.mode))
            return problem->reason;
        return method.readsPalette() ? "cannot be used with --nula, which chooses the colours"
                                     : "needs a method other than classic";
    default: break;
    }
    if (mode == nullptr)
        return kModeSevenReason;
    switch (option) {
    case Option::Halftone:
    case Option::Stagger: return "only " + methodsThat(&MethodRow::readsHalftone) + " reads it";
    case Option::Damping: return "only " + methodsThat(&MethodRow::readsDamping) + " read it";
    case Option::Bar: return "only --fit " + std::string(fitName(Fit::Whole)) + " leaves bars to colour";
    default: break;
    }
    assert(!"an option read in every bitmap mode");
    return {};
}

}  // namespace

std::optional<SettingProblem> unreadProblem(const Settings& settings, Option option)
{
    if (readsOption(settings, option))
        return std::nullopt;
    return SettingProblem{option, unreadReason(settings, option)};
}

std::optional<SettingProblem> unreadGivenOption(const Settings& settings, std::span<const Option> given)
{
    for (const Option option : given)
        if (auto problem = unreadProblem(settings, option))
            return problem;
    return std::nullopt;
}

Settings withUnreadAtDefaults(Settings settings)
{
    const Settings defaults;
    // The method decides what else is read, so it goes first.
    if (!readsOption(settings, Option::Method))
        settings.method = defaults.method;
    if (!readsOption(settings, Option::Halftone))
        settings.halftone = defaults.halftone;
    if (!readsOption(settings, Option::Stagger))
        settings.stagger = defaults.stagger;
    if (!readsOption(settings, Option::Nula))
        settings.nula = defaults.nula;
    if (!readsOption(settings, Option::Palette))
        settings.palette = defaults.palette;
    if (!readsOption(settings, Option::Raster))
        settings.raster = defaults.raster;
    if (!readsOption(settings, Option::Bar))
        settings.barColour = defaults.barColour;
    if (!readsOption(settings, Option::Damping))
        settings.damping = defaults.damping;
    return settings;
}

std::optional<SettingProblem> settingsProblem(const Settings& settings)
{
    if (!convertibleMode(settings.mode))
        return SettingProblem{Option::Mode, "must be " + convertibleModeNames() + ", not " +
                                                std::to_string(settings.mode)};
    if (auto problem = nulaProblem(settings))
        return problem;
    if (auto problem = rasterProblem(settings))
        return problem;
    if (auto problem = paletteProblem(settings.palette, settings.mode))
        return problem;
    if (bitmapMode(settings) == nullptr)
        if (auto problem = modeSevenProblem(settings))
            return problem;
    if (settings.method == Method::Classic && settings.palette.kind != PaletteChoice::Kind::Default)
        return SettingProblem{Option::Palette, "needs a method other than classic"};
    if (auto problem = rangeProblem(settings))
        return problem;
    return barProblem(settings);
}

std::optional<SettingProblem> paletteProblem(const PaletteChoice& choice, int mode)
{
    const auto problem = [](std::string reason) { return SettingProblem{Option::Palette, std::move(reason)}; };
    if (choice.kind == PaletteChoice::Kind::Default)
        return std::nullopt;
    const ScreenMode* record = findScreenMode(mode);
    if (record == nullptr && mode == kTeletextModeNumber)
        return problem("mode 7 chooses its own colours");
    if (record == nullptr)
        return std::nullopt;
    if (record->numcols == 8)
        return problem("mode " + std::to_string(mode) + " always shows its eight colours");
    if (choice.kind == PaletteChoice::Kind::Named && choice.count != record->numcols)
        return problem("mode " + std::to_string(mode) + " needs " + std::to_string(record->numcols) +
                       " colours, not " + std::to_string(choice.count));
    return std::nullopt;
}
