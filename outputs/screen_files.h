#pragma once

#include "conversion/conversion.h"
#include "outputs/screen_names.h"
#include "platform/file_set.h"

#include <span>
#include <string>
#include <vector>

// The files one conversion becomes, as one set: the screen file, its .inf,
// for a picture in VideoNuLA colours FILE.nula and its .inf, with the
// screen's ZX02 stream FILE.zx02 and its .inf, and for a screen whose
// palette changes line by line FILE.raster and its .inf (see raster_file.h). The members a conversion does
// not make are removed when the set is written (see replaceFiles): an
// earlier picture's .nula or .zx02 beside the new screen would mislabel it.

// The name the window writes to, in the current folder.
inline constexpr const char* kScreenFileName = "$.screen";

// A file's side file sits beside it under the same name plus ".inf".
std::string infFileName(const std::string& file);

// Every member of the set of `screenFile`, in writing order: the screen
// file, its .inf, .nula, .nula.inf, .zx02, .zx02.inf, .raster and
// .raster.inf.
std::vector<std::string> screenSetFiles(const std::string& screenFile);

// The screen file's .inf line, with a line end, under `bbcName`.
std::string infFileText(const Conversion& conversion, const std::string& bbcName = "$.SCREEN");

// The stream's .inf line, with a line end: its length, and as load address
// the place just below &8000 from which it can be unpacked over itself.
std::string packedInfText(const std::string& bbcName, std::size_t streamBytes);

// The raster file's BBC name: R.NAME beside $.NAME.
std::string rasterBbcName(const ScreenNames& names);

// The set for `conversion` written to `screenFile` under `names`: the
// screen and its .inf; its .nula pair when it is in NuLA colours; with a
// `stream` (the screen's ZX02 stream) its .zx02 pair; its .raster pair when
// its palette changes line by line; the other members as removals.
FileSet screenFileSet(const std::string& screenFile, const ScreenNames& names, const Conversion& conversion,
                      std::span<const std::uint8_t> stream = {});

// The same, named after `screenFile` alone (see screenNames).
FileSet screenFileSet(const std::string& screenFile, const Conversion& conversion,
                      std::span<const std::uint8_t> stream = {});
