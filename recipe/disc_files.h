#pragma once

#include "outputs/boot_discs.h"
#include "platform/file_set.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <span>

// The disc files a set of pictures becomes, as the command line's --disc
// and the window's slideshow export name them; the front ends write them.

// The kind of disc file FILE's ending asks for (.dsd, .mmb, else .ssd).
DiscKind discKind(const QString& file);

// FILE for one disc file; FILE-1.ssd, FILE-2.ssd ... (the number before a
// ".ssd" or ".dsd" ending, or at the end of any other name) for several.
QStringList numberedFiles(const QString& file, std::size_t count);

// A file name without its folder and last extension (a leading dot is part
// of the name): the name a picture goes on a disc by, and the one the
// command line names its outputs after.
QString fileStem(const QString& picture);

// Which picture, if any, one of `discFiles` would overwrite.
std::optional<QString> overwrittenPicture(const QStringList& discFiles, const QStringList& pictures);

// Every file of `discs` under `discFiles` as one set, to be put in place
// together or not at all (see replaceFiles); one name for each file.
FileSet discFileSet(const QStringList& discFiles, const DiscSet& discs);

// How many discs `discs` holds for the user: the files of single- and
// double-sided discs, the discs inside an MMB file.
std::size_t discCount(const DiscSet& discs, DiscKind kind);
