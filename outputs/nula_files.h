#pragma once

#include "conversion/conversion.h"

#include <string>

// A picture in VideoNuLA colours also gives FILE.nula, the 32 bytes its
// loader writes to &FE23 (see nulaRegisterBytes), with its own .inf, for
// programs of one's own that show the picture.

std::string nulaFileName(const std::string& screenFile);

// The .inf line of the .nula file, with a line end: "$.NULA" loading at
// &0900, a page free on a disc machine that uses neither cassette nor serial.
std::string nulaInfText();
