#pragma once

#include "conversion/conversion.h"
#include "outputs/boot_discs.h"
#include "outputs/compression/zx02.h"
#include "platform/failure.h"
#include "platform/file_set.h"

#include <QString>

// What File › "Export Disc Image...", "Save Screen As..." and "Save Preview
// As..." write, each replacing its files whole or not at all (see
// replaceFiles).

// A DFS disc of `tracks` tracks titled `title` that shows `conversion` when
// booted with Shift+Break: the command line's boot disc (see bootDisc), its
// screen ZX02-compressed where that makes it smaller, set up in VideoNuLA
// colours when the conversion has them; packed with `search`.
Status exportDiscImage(const QString& path, const Conversion& conversion, int tracks = 80,
                       const QString& title = QString::fromLatin1(kBootDiscTitle),
                       Zx02Search search = Zx02Search::Quick);

// The screen file at `path` with the files of its set (see screenFileSet):
// its .inf beside it, the .nula pair in NuLA colours, and an earlier
// screen's .nula or .zx02 pair there removed. Says what was written and removed.
Result<FilesReplaced> saveScreenFiles(const QString& path, const Conversion& conversion);

// A PNG of the screen at its real resolution (see screenPicture).
Status savePreviewPicture(const QString& path, const Conversion& conversion);
