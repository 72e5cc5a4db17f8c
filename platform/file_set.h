#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The files one output becomes, put in place together by replaceFiles: the
// files to write, whole, in this order, and the names of those among them
// that this output does not make, removed so that no file of an earlier
// output stays beside the new ones.
struct FileSet {
    struct File {
        std::string path;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<File> files;
    std::vector<std::string> removals;
};

// What writing a FileSet did: the files written, in order, and the removals
// that found a file to remove (an absent one is not counted).
struct FilesReplaced {
    std::vector<std::string> written;
    std::vector<std::string> removed;
};
