#pragma once

#include "conversion/conversion.h"
#include "platform/failure.h"

#include <span>
#include <string>

// The name the window writes to, in the current folder.
inline constexpr const char* kScreenFileName = "$.screen";

// The side file sits beside the screen file under the same name plus ".inf".
std::string infFileName(const std::string& screenFile);

// The side file's contents: the .inf line and a line end.
std::string infFileText(const Conversion& conversion);

// The ZX02 stream of a screen sits beside the screen file, its name plus ".zx02".
std::string packedFileName(const std::string& screenFile);

// The stream's side file: its length, and as load address the place just
// below &8000 from which it can be unpacked over itself.
std::string packedInfText(std::size_t streamBytes);

// Writes the screen bytes to `screenFile` and the .inf line to its side file,
// and for a picture in NuLA colours its .nula file and that file's .inf;
// with a `stream` (the screen's ZX02 stream) also that and its side file,
// replacing all or none (see replaceFiles).
Status writeScreenFiles(const std::string& screenFile, const Conversion& conversion,
                        std::span<const std::uint8_t> stream = {});
