#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What the emulated BBC Micro showed after booting a disc.
struct EmulatedScreen {
    std::vector<std::uint8_t> memory;  // the I/O processor's &3000..&7FFF
    int width = 0;                     // the frame's area asked for
    int height = 0;
    std::vector<std::uint8_t> rgb;     // width x height pixels, 3 bytes each
    // The frames asked for (see bootOnEmulator), as `rgb`, in order.
    std::vector<std::vector<std::uint8_t>> laterFrames;

    // The frame's pixel as 0xFFRRGGBB.
    std::uint32_t pixel(int x, int y) const;
};

// Which part of jsbeeb's 1024 x 625 frame is read back: where the graphics
// modes' characters were drawn, or mode 7's 640 x 500 from (216, 64), with
// everything outside it black.
enum class FrameArea { Active, Teletext };

// Whether the machine's VideoNuLA (which jsbeeb always fits) is left on, or
// switched off before it boots (&50 written to &FE22), so that it behaves as
// a machine without one.
enum class NulaFitted { On, SwitchedOff };

// Whether the emulator_setup test installed jsbeeb in the build tree.
bool emulatorInstalled();

// Boots `disc` on jsbeeb's model B with Shift held (boot_disc.mjs), runs
// `seconds` of emulated time, then presses Space `keyPresses` times with
// `seconds` after each, and reads back memory and frame. Files go into
// `work`. With `laterFrames` (counts of frames, rising), also reads the
// frame painted that many frames after that. On a problem, nothing, with
// the reason in `problem`.
std::optional<EmulatedScreen> bootOnEmulator(const std::filesystem::path& disc,
                                             const std::filesystem::path& work, double seconds,
                                             int keyPresses, std::string& problem,
                                             FrameArea area = FrameArea::Active,
                                             NulaFitted nula = NulaFitted::On,
                                             const std::vector<int>& laterFrames = {});
