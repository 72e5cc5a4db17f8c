#pragma once

#include <cstdint>
#include <string>

// The one line that host-folder filing systems and disc-image tools read:
// BBC Micro name, load address (start of the screen memory), execution
// address and length, e.g. "$.SCREEN   003000 000000 005000". Without line end.
std::string infLine(std::uint32_t loadAddress, std::uint32_t length);
