#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How a picture is reduced to the screen's colours. Classic is the ordered
// half-tone of the conversion pass, on the 320-column planes; every other
// method works in linear light on the mode's own pixel grid.
enum class Method { Classic, FloydSteinberg, Atkinson, SierraLite, Jarvis, Stucki, Bayer, BlueNoise, Dbs };

inline constexpr std::array kAllMethods{Method::Classic, Method::FloydSteinberg, Method::Atkinson,
                                        Method::SierraLite, Method::Jarvis,      Method::Stucki,
                                        Method::Bayer,      Method::BlueNoise,   Method::Dbs};

// The name the command line and the window use: classic, floyd-steinberg,
// atkinson, sierra-lite, jarvis, stucki, bayer, blue-noise, dbs.
std::string_view methodName(Method method);
// The method of a name (case-insensitive), or nothing.
std::optional<Method> methodNamed(std::string_view name);

// Which physical colours a mode's logical colours show.
struct PaletteChoice {
    enum class Kind { Default, Best, Named };
    Kind kind = Kind::Default;
    // For Named: the physical colour (0..7) of logical colours 0..count-1.
    std::array<std::uint8_t, 8> colours{};
    int count = 0;

    friend bool operator==(const PaletteChoice&, const PaletteChoice&) = default;
};

// "default", "best" or a list of physical colours "C0,C1[,C2,C3]"; nothing
// when the text is none of these. Whether the count suits a mode is checked
// by paletteProblem().
std::optional<PaletteChoice> paletteNamed(std::string_view text);

// Why `choice` cannot be used in `mode` (a count other than the mode's
// colours, any choice but the default in mode 2 or mode 7), or an empty
// string when it can.
std::string paletteProblem(const PaletteChoice& choice, int mode);

// How the picture is placed on the screen's area.
enum class Fit {
    Stretch,  // fills the screen, ignoring the picture's shape
    Whole,    // the whole picture at its shape, bars of the bar colour beside it
    Fill,     // fills the screen at the picture's shape, the overhang cut off
};

std::string_view fitName(Fit fit);  // stretch, fit, fill
std::optional<Fit> fitNamed(std::string_view name);

// Picture adjustments, neutral by default: brightness is added to linear
// light (-1..1), contrast scales around mid grey (0..4), saturation scales the
// distance from grey (0..4), gamma (0.2..5) raises light to the power 1/gamma.
struct Adjustments {
    float brightness = 0;
    float contrast = 1;
    float saturation = 1;
    float gamma = 1;

    bool neutral() const { return *this == Adjustments{}; }
    friend bool operator==(const Adjustments&, const Adjustments&) = default;
};
