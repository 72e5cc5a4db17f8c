#pragma once

#include <array>
#include <cstdint>

// The vocabulary of the options one conversion is made with, shared by the
// engine, the window and the command line. What each option is called, its
// range and when it applies live in the catalogue (option_catalogue.h).

// Half-tone options, numbered as the option buttons are.
enum class Halftone : std::int32_t { None = 0, Fine = 1, Coarse = 2, Spiral = 3, Diagonal = 4 };

// How a picture is reduced to the screen's colours. Classic is the ordered
// half-tone of the conversion pass, on the 320-column planes; every other
// method works in linear light on the mode's own pixel grid.
enum class Method { Classic, FloydSteinberg, Atkinson, SierraLite, Jarvis, Stucki, Bayer, BlueNoise, Dbs };

// The error-diffusion kernels: how a pixel's error is shared among the
// pixels not yet chosen.
enum class DiffusionKernel { FloydSteinberg, Atkinson, SierraLite, Jarvis, Stucki };

// The threshold maps of ordered dithering.
enum class ThresholdPattern { Bayer, BlueNoise };

// Which physical colours a mode's logical colours show.
struct PaletteChoice {
    enum class Kind { Default, Best, Named };
    Kind kind = Kind::Default;
    // For Named: the physical colour (0..7) of logical colours 0..count-1.
    std::array<std::uint8_t, 8> colours{};
    int count = 0;

    friend bool operator==(const PaletteChoice&, const PaletteChoice&) = default;
};

// How the picture is placed on the screen's area.
enum class Fit {
    Stretch,  // fills the screen, ignoring the picture's shape
    Whole,    // the whole picture at its shape, bars of the bar colour beside it
    Fill,     // fills the screen at the picture's shape, the overhang cut off
};

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

// The options one conversion is made with, as the window's controls and the
// command line's arguments both give them. The defaults give the classic
// conversion exactly as the original window made it: mode 2, no half-tone.
struct Settings {
    int mode = 2;  // 0, 1, 2, 4, 5 or 7 (see convertibleMode)
    Halftone halftone = Halftone::None;
    bool stagger = false;
    Method method = Method::Classic;
    float damping = 1.0f;  // fraction of the error diffusion passes on, 0..1
    PaletteChoice palette;
    // Each logical colour any 12-bit colour, for a machine with VideoNuLA:
    // bitmap modes, methods other than Classic, and the default palette only.
    bool nula = false;
    // The palette changed line by line as the picture asks, within what the
    // raster routine can rewrite before each scan line (raster_budget.h):
    // methods other than Classic, in modes 0, 1, 4 and 5, and with `nula`
    // in mode 2 too.
    bool raster = false;
    Fit fit = Fit::Stretch;
    std::uint8_t barColour = 0;  // physical colour 0..7 of the bars "fit" leaves
    Adjustments adjustments;

    friend bool operator==(const Settings&, const Settings&) = default;
};
