#pragma once

#include "platform/failure.h"
#include "platform/file_set.h"

#include <cstdint>
#include <span>
#include <string>

struct FileContent {
    std::string path;
    std::span<const std::uint8_t> bytes;
};

// Replaces every named file with its new contents, all or nothing.
//
// Each file is first written in full to a temporary file in its own folder and
// flushed to disk. Every target but the last is then backed up beside itself
// (a hard link where the file system has them, a flushed copy where it has
// not, as on FAT and exFAT memory cards), and only then are the temporaries
// renamed over the targets, in the order given; the folders are flushed so
// the renames last through a power cut. If any step fails, the targets
// already renamed are put back from their backups and the temporaries are
// removed, so every target is left exactly as it was: a reader never sees a
// truncated file or a new file beside an old partner. A target that is a
// symbolic link is replaced by a regular file, never written through.
// On failure, the Failure's subject is the file that could not be written.
Status replaceFiles(std::span<const FileContent> files);

// Writes the files of `set` as above and, in the same all-or-nothing step,
// removes its removals: each present one is moved aside beside itself
// before the first rename and deleted only once every file is in place, so
// a failure puts it back with the rest. A removal that is absent, or a
// folder, is left alone. Returns what was written and what was removed.
Result<FilesReplaced> replaceFiles(const FileSet& set);
