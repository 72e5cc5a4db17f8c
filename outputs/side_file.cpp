#include "outputs/side_file.h"

#include <array>
#include <cstdio>

std::string infLine(const std::string& bbcName, std::uint32_t loadAddress, std::uint32_t execAddress,
                    std::uint32_t length)
{
    std::array<char, 48> line{};
    std::snprintf(line.data(), line.size(), "%-10s %06X %06X %06X", bbcName.c_str(),
                  static_cast<unsigned>(loadAddress), static_cast<unsigned>(execAddress),
                  static_cast<unsigned>(length));
    return line.data();
}

std::string infLine(std::uint32_t loadAddress, std::uint32_t length)
{
    return infLine("$.SCREEN", loadAddress, 0, length);
}
