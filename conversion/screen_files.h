#pragma once

#include "toolkit/file_output.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The name the window writes to, in the current folder.
inline constexpr const char* kScreenFileName = "$.screen";

// The side file sits beside the screen file under the same name plus ".inf".
std::string infFileName(const std::string& screenFile);

// The one line that host-folder filing systems and disc-image tools read:
// BBC Micro name, load address (start of the mode's screen memory), execution
// address and length, e.g. "$.SCREEN   003000 000000 005000". Without line end.
std::string infLine(int curmode);

// Writes the screen bytes to `screenFile` and the .inf line plus "\n" to its
// side file, replacing both or neither (see replaceFiles).
[[nodiscard]] std::optional<FileError> writeScreenFiles(const std::string& screenFile,
                                                        int curmode,
                                                        std::span<const std::uint8_t> bytes);
