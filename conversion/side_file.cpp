#include "conversion/side_file.h"

#include <array>
#include <cassert>
#include <cstdio>

std::string infLine(const ScreenMode& mode)
{
    std::array<char, 40> line{};
    std::snprintf(line.data(), line.size(), "$.SCREEN   %06X 000000 %06X",
                  static_cast<unsigned>(mode.screenStart), static_cast<unsigned>(mode.screenBytes()));
    return line.data();
}

std::string infLine(int curmode)
{
    const ScreenMode* mode = findScreenMode(curmode);
    assert(mode != nullptr);
    return infLine(*mode);
}
