#pragma once

#include <cstdint>
#include <string>

// The one line that host-folder filing systems and disc-image tools read:
// BBC Micro name (a directory character, ".", and up to seven characters),
// padded to ten characters, then load address, execution address and
// length, e.g. "$.SCREEN   003000 000000 005000". Without line end.
std::string infLine(const std::string& bbcName, std::uint32_t loadAddress, std::uint32_t execAddress,
                    std::uint32_t length);

// The window's screen file's line: named $.SCREEN, not executable.
std::string infLine(std::uint32_t loadAddress, std::uint32_t length);
