#pragma once

#include "conversion/conversion.h"
#include "platform/failure.h"

#include <string>

// The name the window writes to, in the current folder.
inline constexpr const char* kScreenFileName = "$.screen";

// The side file sits beside the screen file under the same name plus ".inf".
std::string infFileName(const std::string& screenFile);

// The side file's contents: the .inf line and a line end.
std::string infFileText(const Conversion& conversion);

// Writes the screen bytes to `screenFile` and the .inf line to its side file,
// and for a picture in NuLA colours its .nula file and that file's .inf,
// replacing all or none (see replaceFiles).
Status writeScreenFiles(const std::string& screenFile, const Conversion& conversion);
