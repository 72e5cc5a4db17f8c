#include "conversion/methods/method_options.h"

#include "conversion/screen_modes.h"
#include "conversion/teletext/teletext_mode.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

constexpr std::array<std::string_view, kAllMethods.size()> kMethodNames{
    "classic", "floyd-steinberg", "atkinson", "sierra-lite", "jarvis", "stucki", "bayer", "blue-noise", "dbs"};

constexpr std::array<std::string_view, 3> kFitNames{"stretch", "fit", "fill"};

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string_view methodName(Method method)
{
    return kMethodNames[static_cast<std::size_t>(method)];
}

std::optional<Method> methodNamed(std::string_view name)
{
    for (std::size_t i = 0; i < kMethodNames.size(); ++i)
        if (sameName(name, kMethodNames[i]))
            return kAllMethods[i];
    return std::nullopt;
}

std::optional<PaletteChoice> paletteNamed(std::string_view text)
{
    if (sameName(text, "default"))
        return PaletteChoice{};
    if (sameName(text, "best"))
        return PaletteChoice{PaletteChoice::Kind::Best, {}, 0};
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

std::string paletteProblem(const PaletteChoice& choice, int mode)
{
    if (choice.kind == PaletteChoice::Kind::Default)
        return {};
    if (findTeletextMode(mode) != nullptr)
        return "mode 7 chooses its own colours";
    const ScreenMode* record = findScreenMode(mode);
    if (record == nullptr)
        return {};
    if (record->numcols == 8)
        return "mode " + std::to_string(mode) + " always shows its eight colours";
    if (choice.kind == PaletteChoice::Kind::Named && choice.count != record->numcols)
        return "mode " + std::to_string(mode) + " needs " + std::to_string(record->numcols) +
               " colours, not " + std::to_string(choice.count);
    return {};
}

std::string_view fitName(Fit fit)
{
    return kFitNames[static_cast<std::size_t>(fit)];
}

std::optional<Fit> fitNamed(std::string_view name)
{
    for (std::size_t i = 0; i < kFitNames.size(); ++i)
        if (sameName(name, kFitNames[i]))
            return static_cast<Fit>(i);
    return std::nullopt;
}
