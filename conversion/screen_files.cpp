#include "conversion/screen_files.h"

#include "conversion/screen_modes.h"

#include <array>
#include <cstdio>

std::string infFileName(const std::string& screenFile)
{
    return screenFile + ".inf";
}

std::string infLine(int curmode)
{
    const ModeGeometry geometry = modeGeometry(curmode);
    const unsigned length = 32u * 8u * static_cast<unsigned>(geometry.rowbytes);
    // Screen memory always ends at &8000, so the load address follows from the length.
    const unsigned load = 0x8000u - length;
    std::array<char, 40> line{};
    std::snprintf(line.data(), line.size(), "$.SCREEN   %06X 000000 %06X", load, length);
    return line.data();
}

std::optional<FileError> writeScreenFiles(const std::string& screenFile, int curmode,
                                          std::span<const std::uint8_t> bytes)
{
    const std::string inf = infLine(curmode) + "\n";
    const auto* infBytes = reinterpret_cast<const std::uint8_t*>(inf.data());
    const std::array<FileContent, 2> files{{
        {screenFile, bytes},
        {infFileName(screenFile), {infBytes, inf.size()}},
    }};
    return replaceFiles(files);
}
