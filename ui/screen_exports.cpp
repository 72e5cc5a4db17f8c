#include "ui/screen_exports.h"

#include "outputs/boot_discs.h"
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

Status exportDiscImage(const QString& path, const Conversion& conversion)
{
    const auto disc = bootDisc(conversion, 80);
    if (!disc)
        return Failure{systemName(path), disc.failure().reason};
    const std::array<FileContent, 1> file{{{systemName(path), disc.value().bytes}}};
    return replaceFiles(file);
}

Status saveScreenFiles(const QString& path, const Conversion& conversion)
{
    return writeScreenFiles(systemName(path), conversion);
}
