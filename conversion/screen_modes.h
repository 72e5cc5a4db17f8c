#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// How a mode's screen columns map onto the 320 source columns of the planes.
enum class ColumnMap {
    Same,     // 320 pixels a line: screen pixel px reads source column px
    Halved,   // 640 pixels: each source column serves two screen pixels
    Doubled,  // 160 pixels: each screen pixel averages two source columns
};

// On/off red, green and blue for each logical colour of a mode.
using OnOffPalette = std::array<std::array<std::int32_t, 3>, 8>;

// One record per BBC Micro screen mode the converter supports; every fact
// about a mode is read from here. Modes 3 and 6 leave gaps between character
// rows and have no record. Every mode has 32 character rows of 8 scan lines;
// a character row is `rowbytes` cells of 8 bytes, one byte per scan line,
// each byte holding `pixperbyte` adjacent pixels of 8 / pixperbyte bits.
struct ScreenMode {
    int number;
    int rowbytes;
    int pixperbyte;
    int numcols;                // logical colours offered to matching
    std::uint32_t screenStart;  // first byte of screen memory
    ColumnMap columns;          // source columns per screen pixel
    // The machine's default physical colour for each logical colour.
    OnOffPalette palette;

    constexpr int bitsPerPixel() const { return 8 / pixperbyte; }
    constexpr int screenPixelsPerLine() const { return rowbytes * pixperbyte; }
    constexpr int screenBytes() const { return 32 * 8 * rowbytes; }
};

namespace screen_palettes {
inline constexpr OnOffPalette twoColour{{{0, 0, 0}, {1, 1, 1}}};
inline constexpr OnOffPalette fourColour{{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}}};
// Logical colour = red + 2 * green + 4 * blue.
inline constexpr OnOffPalette eightColour{
    {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}}};
}  // namespace screen_palettes

// The shape of every mode's screen as a PAL television shows it, width :
// height. A 4:3 PAL picture is the 52 us of a line's active part across and
// its 576 visible lines down. The machine's 16 MHz pixel clock spends 40 us
// on the 640 pixels of a mode 0 line (and as long on every other mode's
// line), and each field has 256 lines, 512 of the frame's 576. So the screen
// is 40/52 of 4 wide and 512/576 of 3 high:
//     (40/52 x 4) : (512/576 x 3) = (10/13 x 4/3 x 9/8) : 1 = 15 : 13,
// about 1.154 : 1. One 640-column pixel is (15/13) / (640/512) = 12/13 as
// wide as a frame line is high. Framing (Fit and Fill), the View window's
// drawing and its Fill outline all read this figure.
inline constexpr double kScreenAspect = 15.0 / 13.0;

// Screen memory ends at &8000 whatever the mode, so the 20 KiB modes start at
// &3000 and the 10 KiB modes at &5800.
inline constexpr std::array<ScreenMode, 5> kScreenModes{{
    {0, 80, 8, 2, 0x3000, ColumnMap::Halved, screen_palettes::twoColour},
    {1, 80, 4, 4, 0x3000, ColumnMap::Same, screen_palettes::fourColour},
    {2, 80, 2, 8, 0x3000, ColumnMap::Doubled, screen_palettes::eightColour},
    {4, 40, 8, 2, 0x5800, ColumnMap::Same, screen_palettes::twoColour},
    {5, 40, 4, 4, 0x5800, ColumnMap::Doubled, screen_palettes::fourColour},
}};

// The record for a mode number, or nullptr when the converter has none: the
// one place where an unsupported mode is told apart.
constexpr const ScreenMode* findScreenMode(int mode)
{
    for (const auto& record : kScreenModes)
        if (record.number == mode)
            return &record;
    return nullptr;
}

// The physical colour number (0..7: red + 2 green + 4 blue) of on/off components.
constexpr std::uint8_t physicalColour(const std::array<std::int32_t, 3>& onOff)
{
    return static_cast<std::uint8_t>(onOff[0] + 2 * onOff[1] + 4 * onOff[2]);
}

// Mode 7, the teletext mode: 25 rows of 40 character cells, one byte each,
// shown by the SAA5050 character generator from &7C00 up. It has no record in
// kScreenModes (whose modes are bitmaps of 32 character rows ending at &8000)
// so that findScreenMode never hands a teletext screen to the bitmap pass.
struct TeletextMode {
    int number;
    int columns;                // character cells per row
    int rows;                   // character rows
    std::uint32_t screenStart;  // first byte of screen memory

    constexpr int screenBytes() const { return columns * rows; }
};

inline constexpr TeletextMode kTeletextMode{7, 40, 25, 0x7C00};
inline constexpr int kTeletextModeNumber = kTeletextMode.number;

// The record for a mode number, or nullptr unless it is the teletext mode.
constexpr const TeletextMode* findTeletextMode(int mode)
{
    return mode == kTeletextMode.number ? &kTeletextMode : nullptr;
}

// Every mode the converter makes, bitmap or teletext alike: what the front
// ends offer, where its screen memory lies and how it is laid out.
enum class ModeKind { Bitmap, Teletext };

struct ModeRecord {
    int number;
    ModeKind kind;
    std::string_view caption;  // the window's mode button
    std::uint32_t screenStart;
    int screenBytes;
    const ScreenMode* bitmap;      // the bit layout, for Bitmap
    const TeletextMode* teletext;  // the character grid, for Teletext
};

inline constexpr std::array<ModeRecord, 6> kModeRecords{{
    {0, ModeKind::Bitmap, "Mode 0", kScreenModes[0].screenStart, kScreenModes[0].screenBytes(), &kScreenModes[0], nullptr},
    {1, ModeKind::Bitmap, "Mode 1", kScreenModes[1].screenStart, kScreenModes[1].screenBytes(), &kScreenModes[1], nullptr},
    {2, ModeKind::Bitmap, "Mode 2", kScreenModes[2].screenStart, kScreenModes[2].screenBytes(), &kScreenModes[2], nullptr},
    {4, ModeKind::Bitmap, "Mode 4", kScreenModes[3].screenStart, kScreenModes[3].screenBytes(), &kScreenModes[3], nullptr},
    {5, ModeKind::Bitmap, "Mode 5", kScreenModes[4].screenStart, kScreenModes[4].screenBytes(), &kScreenModes[4], nullptr},
    {7, ModeKind::Teletext, "Mode 7 (Teletext)", kTeletextMode.screenStart, kTeletextMode.screenBytes(), nullptr,
     &kTeletextMode},
}};

// The record of a mode number, or nullptr for a mode the converter does not make.
constexpr const ModeRecord* findModeRecord(int mode)
{
    for (const auto& record : kModeRecords)
        if (record.number == mode)
            return &record;
    return nullptr;
}

// The per-mode numbers the conversion pass and the packer work with.
struct ModeGeometry {
    int rowbytes;
    int pixperbyte;
    int numcols;
};

// The geometry of a mode's record. A mode without a record falls back to 80
// cells per row for modes 0 to 2 and 40 otherwise, with 8 pixels of 2
// colours for modes 0 and 4, 4 of 4 for modes 1 and 5, and 2 of 8 otherwise.
ModeGeometry modeGeometry(int curmode);
