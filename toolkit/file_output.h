#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// A file that could not be written: the name the caller asked for and the
// operating system's reason, ready to show to the user.
struct FileError {
    std::string file;
    std::string reason;

    std::string message() const { return file + ": " + reason; }
};

struct FileContent {
    std::string path;
    std::span<const std::uint8_t> bytes;
};

// Replaces every named file with its new contents, all or nothing.
//
// Each file is first written in full to a temporary file in its own folder and
// flushed to disk; only then are the temporaries renamed over the targets, in
// the order given, and the folders are flushed so the renames last through a
// power cut. If anything fails, the temporaries are removed and every
// target is left exactly as it was (a target already renamed is put back), so
// a reader never sees a truncated file or a new file beside an old partner.
// A target that is a symbolic link is replaced by a regular file, never
// written through. Returns nothing on success.
[[nodiscard]] std::optional<FileError> replaceFiles(std::span<const FileContent> files);
