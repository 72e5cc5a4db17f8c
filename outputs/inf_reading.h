#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A .inf side file read back: the BBC name, load and execution addresses
// and, when the line gives it, the length (see infLine for what we write).
struct InfFields {
    std::string name;
    std::uint32_t load = 0;
    std::uint32_t exec = 0;
    std::optional<std::uint32_t> length;
};

// The fields of the first line of `text`, or nothing when it is no .inf
// line: a name then at least two hexadecimal addresses. Disc tools write
// more after the length (a locked flag, a CRC), which is not read.
std::optional<InfFields> readInfLine(std::string_view text);
