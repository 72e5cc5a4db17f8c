// Writes the benchmark photos (big.jpg, big-progressive.jpg) into a folder,
// for bench/compare.sh. Usage: make_photos FOLDER
#include "photo_files.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_photos FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (bool progressive : {false, true}) {
        const QString path = writeBigPhoto(folder, progressive);
        if (path.isEmpty()) {
            std::fprintf(stderr, "could not write a photo into %s\n", argv[1]);
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
