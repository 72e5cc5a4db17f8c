#include "ui/screen_exports.h"

#include "outputs/boot_discs.h"
#include "outputs/compression/zx02.h"
#include "outputs/real_preview.h"
#include "outputs/screen_files.h"
#include "platform/file_output.h"

#include <QFile>

#include <array>

namespace {

// File names go to the system as the bytes it uses for them.
std::string systemName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

}  // namespace

Status exportDiscImage(const QString& path, const Conversion& conversion, int tracks, const QString& title,
                       Zx02Search search)
{
    // Compressed where that makes the screen smaller, as rasterine-convert
    // --disc makes it: the same picture and options give the same disc.
    const std::vector<std::uint8_t> stream =
        zx02Compress(conversion.bytes(), search);
    const auto disc = bootDisc(conversion, tracks, true, title.toStdString(), stream);
    if (!disc)
        return Failure{systemName(path), disc.failure().reason};
    const std::array<FileContent, 1> file{{{systemName(path), disc.value().bytes}}};
    return replaceFiles(file);
}

Result<FilesReplaced> saveScreenFiles(const QString& path, const Conversion& conversion)
{
    return replaceFiles(screenFileSet(systemName(path), conversion));
}

Status savePreviewPicture(const QString& path, const Conversion& conversion)
{
    const Result<std::vector<std::uint8_t>> png = realPreviewPng(conversion);
    if (!png)
        return Failure{systemName(path), png.failure().reason};
    const std::array<FileContent, 1> file{{{systemName(path), png.value()}}};
    return replaceFiles(file);
}
