#include "outputs/side_file.h"

#include <array>
#include <cstdio>

std::string infLine(std::uint32_t loadAddress, std::uint32_t length)
{
    std::array<char, 40> line{};
    std::snprintf(line.data(), line.size(), "$.SCREEN   %06X 000000 %06X",
                  static_cast<unsigned>(loadAddress), static_cast<unsigned>(length));
    return line.data();
}
