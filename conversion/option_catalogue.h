#pragma once

#include "conversion/settings.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Every fact about an option lives here once: its name on the command line,
// its caption in the window, its range, and when a conversion reads it. The
// command line's help and refusals, the window's items, ranges, tooltips and
// greying, and the tests all read these rows.

// The options, as the command line names them and the window shows them.
enum class Option {
    Mode, Halftone, Stagger, Method, Palette, Nula, Raster, Fit, Bar,
    Brightness, Contrast, Saturation, Gamma, Damping,
};

// The options that take a word or nothing: their names on the command line
// (long and, for the original three, short) and captions in the window.
struct OptionRow {
    Option option;
    std::string_view name;      // --NAME
    std::string_view letter;    // -L, or empty
    std::string_view caption;   // the window's caption of its control or group
    std::string_view valueName; // empty for a switch
    std::string_view start;     // the default, as typed
    std::string_view summary;   // for help texts and tooltips
};

inline constexpr std::array<OptionRow, 8> kOptionRows{{
    {Option::Mode, "mode", "m", "BBC Screen Mode", "N", "2", "screen mode"},
    {Option::Halftone, "halftone", "t", "Half Toning", "NAME", "none", "the classic method's half-tone pattern"},
    {Option::Stagger, "stagger", "s", "Stagger", "", "",
     "stagger the half-tone between red, green and blue"},
    {Option::Method, "dither", "", "Method", "NAME", "classic", "how the picture is reduced to the screen's colours"},
    {Option::Palette, "palette", "", "Palette", "P", "default",
     "colours of modes 0, 1, 4 and 5 for the methods other than classic: default, best (chosen for the "
     "picture) or physical colours 0-7 for logical colours 0, 1, ... (C0,C1 or C0,C1,C2,C3)"},
    {Option::Nula, "nula", "", "VideoNuLA colours", "", "",
     "VideoNuLA colours: each logical colour any of 4,096 colours chosen for the picture (16 in mode 2), for a "
     "method other than classic; writes FILE.nula too, and a machine without VideoNuLA shows the nearest "
     "standard colours"},
    {Option::Raster, "raster", "", "By line", "", "",
     "change the palette line by line as the picture asks, for a method other than classic in modes 0, 1, 4 "
     "and 5 (and 2 with --nula); the screen is shown by a raster routine, and where one palette for the whole "
     "screen looks better it is kept"},
    {Option::Fit, "fit", "", "Fit", "HOW", "stretch", "how the picture is placed on the screen"},
}};

// How a method works, which decides which options it reads.
enum class MethodFamily {
    Classic,         // the ordered half-tone on the 320-column planes
    ErrorDiffusion,  // a kernel shares each pixel's error
    Ordered,         // a threshold map
    Search,          // a local search against the eye's blur (slow)
};

struct MethodRow {
    Method method;
    std::string_view name;     // on the command line: --dither NAME
    std::string_view caption;  // in the window's Method list
    MethodFamily family;
    DiffusionKernel kernel;    // for ErrorDiffusion
    ThresholdPattern pattern;  // for Ordered
    std::string_view summary;  // one line for help texts and tooltips

    constexpr bool readsHalftone() const { return family == MethodFamily::Classic; }
    constexpr bool readsStagger() const { return family == MethodFamily::Classic; }
    constexpr bool readsDamping() const { return family == MethodFamily::ErrorDiffusion; }
    constexpr bool readsPalette() const { return family != MethodFamily::Classic; }
    constexpr bool slow() const { return family == MethodFamily::Search; }
};

inline constexpr std::array<MethodRow, 9> kMethodRows{{
    {Method::Classic, "classic", "Classic half-tone", MethodFamily::Classic, {}, {},
     "the half-tone pattern and Stagger on the 320-column planes"},
    {Method::FloydSteinberg, "floyd-steinberg", "Floyd\u2013Steinberg", MethodFamily::ErrorDiffusion,
     DiffusionKernel::FloydSteinberg, {}, "error diffusion over four neighbours"},
    {Method::Atkinson, "atkinson", "Atkinson", MethodFamily::ErrorDiffusion, DiffusionKernel::Atkinson, {},
     "error diffusion passing on three quarters of the error"},
    {Method::SierraLite, "sierra-lite", "Sierra Lite", MethodFamily::ErrorDiffusion, DiffusionKernel::SierraLite,
     {}, "error diffusion over three neighbours"},
    {Method::Jarvis, "jarvis", "Jarvis\u2013Judice\u2013Ninke", MethodFamily::ErrorDiffusion,
     DiffusionKernel::Jarvis, {}, "error diffusion over twelve neighbours"},
    {Method::Stucki, "stucki", "Stucki", MethodFamily::ErrorDiffusion, DiffusionKernel::Stucki, {},
     "error diffusion over twelve neighbours, sharper"},
    {Method::Bayer, "bayer", "Bayer 8\u00d78", MethodFamily::Ordered, {}, ThresholdPattern::Bayer,
     "ordered dithering with the 8 x 8 Bayer map"},
    {Method::BlueNoise, "blue-noise", "Blue noise", MethodFamily::Ordered, {}, ThresholdPattern::BlueNoise,
     "ordered dithering with a blue-noise map"},
    {Method::Dbs, "dbs", "Direct binary search (slow)", MethodFamily::Search, {}, {},
     "direct binary search: slow, closest"},
}};

// Whether a conversion with `settings` is slow: the window runs it beside
// its own thread, with progress and "Stop"; the command line shows progress.
bool slow(const Settings& settings);

// How a compressed disc's screens are packed: quickly, or with the thorough
// search, a little smaller but seconds a screen.
struct PackingRow {
    bool thorough;
    std::string_view caption;  // of the disc options' check box when thorough

    constexpr bool slow() const { return thorough; }
};

inline constexpr std::array<PackingRow, 2> kPackingRows{{
    {false, "Quick packing"},
    {true, "Smallest packing (slow)"},
}};

const PackingRow& packingRow(bool thorough);

struct HalftoneRow {
    Halftone halftone;
    std::string_view name;     // -t NAME
    std::string_view caption;  // the option button's caption
};

inline constexpr std::array<HalftoneRow, 5> kHalftoneRows{{
    {Halftone::None, "none", "None"},
    {Halftone::Fine, "fine", "Fine"},
    {Halftone::Coarse, "coarse", "Coarse"},
    {Halftone::Spiral, "spiral", "Spiral"},
    {Halftone::Diagonal, "diagonal", "Diagonal"},
}};

struct FitRow {
    Fit fit;
    std::string_view name;
    std::string_view caption;
    std::string_view summary;
};

inline constexpr std::array<FitRow, 3> kFitRows{{
    {Fit::Stretch, "stretch", "Stretch", "the whole picture stretched over the whole screen"},
    {Fit::Whole, "fit", "Fit", "the whole picture at its shape, with bars of the bar colour"},
    {Fit::Fill, "fill", "Fill", "the whole screen at the picture's shape, the overhang cut off"},
}};

struct PaletteKindRow {
    PaletteChoice::Kind kind;
    std::string_view name;  // the word --palette takes; Named has none
    std::string_view caption;
};

inline constexpr std::array<PaletteKindRow, 3> kPaletteKindRows{{
    {PaletteChoice::Kind::Default, "default", "Default"},
    {PaletteChoice::Kind::Best, "best", "Best for this picture"},
    {PaletteChoice::Kind::Named, "", "These colours:"},
}};

// The physical colours 0..7 (red + 2 green + 4 blue), by number.
inline constexpr std::array<std::string_view, 8> kColourNames{"Black", "Red",     "Green", "Yellow",
                                                              "Blue",  "Magenta", "Cyan",  "White"};

// An option that takes a number: its range, its neutral value, the step the
// window's box moves by, and the field of Settings it sets.
struct NumberRow {
    Option option;
    std::string_view name;     // --NAME
    std::string_view caption;  // the window's label
    std::string_view valueName;
    double min;
    double max;
    double start;
    double step;
    bool whole;  // only whole numbers (the bar colour)
    std::string_view summary;
};

inline constexpr std::array<NumberRow, 6> kNumberRows{{
    {Option::Bar, "bar", "Bars", "C", 0, 7, 0, 1, true, "physical colour 0-7 of the bars --fit fit leaves"},
    {Option::Brightness, "brightness", "Brightness", "B", -1, 1, 0, 0.05, false, "added to the light"},
    {Option::Contrast, "contrast", "Contrast", "C", 0, 4, 1, 0.1, false, "contrast around mid grey"},
    {Option::Saturation, "saturation", "Saturation", "S", 0, 4, 1, 0.1, false, "distance from grey"},
    {Option::Gamma, "gamma", "Gamma", "G", 0.2, 5, 1, 0.1, false, "gamma; above 1 lightens"},
    {Option::Damping, "damping", "Damping", "D", 0, 1, 1, 0.05, false,
     "share of the error that error diffusion passes on"},
}};

// The field of `settings` a number option sets, as a number.
double numberOf(const Settings& settings, Option option);
void setNumber(Settings& settings, Option option, double value);

const MethodRow& methodRow(Method method);
// The option's name on the command line, without the dashes.
std::string_view optionName(Option option);
const NumberRow& numberRow(Option option);

// The name the command line and the window use, and back (case-insensitive).
std::string_view methodName(Method method);
std::optional<Method> methodNamed(std::string_view name);
std::string_view halftoneName(Halftone halftone);
std::optional<Halftone> halftoneNamed(std::string_view name);
std::string_view fitName(Fit fit);
std::optional<Fit> fitNamed(std::string_view name);

// "default", "best" or a list of physical colours "C0,C1[,C2,C3]"; nothing
// when the text is none of these. Whether the count suits a mode is checked
// by settingsProblem().
std::optional<PaletteChoice> paletteNamed(std::string_view text);
// The text paletteNamed reads back: "default", "best" or "0,4,6,7".
std::string paletteText(const PaletteChoice& choice);

// A summary as a sentence begins: its first letter a capital.
std::string capitalised(std::string_view summary);

// The names, joined as a sentence lists them: "a, b or c".
std::string methodNames();
std::string halftoneNames();
std::string fitNames();

// Whether the engine converts `mode`: a bitmap mode with a record, or mode 7.
bool convertibleMode(int mode);
// "0, 1, 2, 4, 5 or 7"
std::string convertibleModeNames();

// Whether a conversion with `settings` reads `option`: the window greys out
// the controls of the options it does not read.
bool readsOption(const Settings& settings, Option option);

// `settings` with every option it does not read at its default, so that a
// control greyed out never changes what is converted or written.
Settings withUnreadAtDefaults(Settings settings);

// What is wrong with a combination of settings, told in words for the user,
// and the option it is about.
struct SettingProblem {
    Option option;
    std::string reason;

    friend bool operator==(const SettingProblem&, const SettingProblem&) = default;
};

// Why a conversion with `settings` does not read `option`, in words for the
// user; nothing when it reads it.
std::optional<SettingProblem> unreadProblem(const Settings& settings, Option option);

// The first of the options the user gave (typed, whatever its value: a
// default left alone is never given) that a conversion with `settings` would
// not read, and why; nothing when it reads them all. The command line refuses
// such an option, as the window greys out its control.
std::optional<SettingProblem> unreadGivenOption(const Settings& settings, std::span<const Option> given);

// The one problem with `settings` that stops a conversion, or nothing: an
// option that the mode does not take (a method, half-tone, Stagger or palette
// in mode 7, a palette with the classic method or in mode 2), a palette of
// the wrong size, a bar colour the palette on show lacks. The command line
// refuses with it; the window explains with it and keeps what is in force.
std::optional<SettingProblem> settingsProblem(const Settings& settings);

// Why `choice` cannot be used in `mode` (a problem with the palette), or
// nothing when it can.
std::optional<SettingProblem> paletteProblem(const PaletteChoice& choice, int mode);
