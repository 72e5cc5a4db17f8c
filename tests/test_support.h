#pragma once

#include "conversion/classic/conversion_state.h"
#include "platform/failure.h"
#include "platform/pixel_surface.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

// A fresh state with the window's start values.
std::unique_ptr<ConversionState> startState();

// The failure a status carries, if any.
std::optional<Failure> failureOf(const Status& status);

// A whole conversion as the window runs it: the engine's conversion, then
// the screen file and its .inf written through the crash-safe writer.
std::optional<Failure> convertAndWrite(ConversionState& state, PixelSurface& preview,
                                       const std::string& screenFile);

// Fills the planes with uniform random components from `seed`.
void fillRandomPlanes(ConversionState& state, std::uint32_t seed);

// Fills the planes with one colour.
void fillPlanes(ConversionState& state, int r, int g, int b);

// The conversion pass done the long way, one screen byte after another and
// one matchcol call per pixel, as the BBC Micro's screen order lays them out.
// Fast paths in the engine are checked against it.
std::vector<std::uint8_t> referencePass(const ConversionState& state, PixelSurface& preview);

// The .inf line of a whole screen of `mode`, which must have a record.
std::string screenInfLine(int mode);

// packPixels for a mode number, which must have a record.
std::uint8_t packbyte(int curmode, const std::int32_t* bytecols);

// Reads screen memory back into logical colours by (screen column, scan line),
// undoing the byte order and bit packing of each mode.
std::vector<std::vector<int>> decodeScreen(int mode, const std::vector<std::uint8_t>& bytes);

// A folder of its own under the system's temporary folder, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Names in the folder, sorted.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file);
void writeText(const std::filesystem::path& file, const std::string& text);
