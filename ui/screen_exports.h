#pragma once

#include "conversion/conversion_pass.h"
#include "platform/failure.h"

#include <QString>

// What File › "Export Disc Image..." and "Save Screen As..." write, each
// replacing its files whole or not at all (see replaceFiles).

// An 80-track DFS disc that shows `conversion` when booted with Shift+Break.
Status exportDiscImage(const QString& path, const Conversion& conversion);

// The screen file at `path` and its .inf beside it.
Status saveScreenFiles(const QString& path, const Conversion& conversion);
