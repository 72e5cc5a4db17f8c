#pragma once

#include <string>

// A picture in VideoNuLA colours also gives FILE.nula, the 32 bytes its
// loader writes to &FE23 (see nulaRegisterBytes), with its own .inf, for
// programs of one's own that show the picture.

// The .inf line of the .nula file named `bbcName` (see screenNames), with a
// line end: loading at &0900, a page free on a disc machine that uses
// neither cassette nor serial.
std::string nulaInfText(const std::string& bbcName);
