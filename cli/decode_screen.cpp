#include "cli/decode_screen.h"

#include "cli/exit_status.h"
#include "outputs/dfs_reading.h"
#include "outputs/raster_file.h"
#include "outputs/real_preview.h"
#include "outputs/screen_reading.h"
#include "platform/file_output.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

std::string systemName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Enough of a .inf or .nula file to read it, or to tell that it is too long.
constexpr qint64 kCompanionBytes = 4096;

// The file's bytes, up to `most` of them.
std::optional<std::vector<std::uint8_t>> fileBytes(const QString& path, qint64 most)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(most);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// A raster file holds at most a record of every line: far less than this.
constexpr qint64 kRasterFileBytes = 64 * 1024;

// The colours line by line of the FILE.raster beside the screen file, when
// there is one and --palette does not give the colours instead. One that
// cannot be read is a failure: the picture in its first palette alone
// would not be the screen as saved.
Status readRasterBeside(const DecodeJob& job, Screen& screen)
{
    const QString path = job.screenFile + QStringLiteral(".raster");
    if (job.palette || screen.isTeletext() || !QFileInfo::exists(path))
        return Done{};
    const auto bytes = fileBytes(path, kRasterFileBytes);
    if (!bytes)
        return Failure{systemName(path), "cannot be read"};
    auto palettes = readRasterFile(*screen.mode, *bytes);
    if (!palettes)
        return Failure{systemName(path), palettes.failure().reason};
    screen.palettes = std::move(palettes).value();
    return Done{};
}

Result<FoundScreen> readScreen(const DecodeJob& job)
{
    const std::string name = job.screenFile.toStdString();
    if (discContainerOfName(name))
        return Failure{name, "is a disc image; open it in the window to choose one of its screens"};
    if (const QFileInfo info(job.screenFile); info.isFile())
        if (const Status length = checkScreenFileLength(name, static_cast<std::uint64_t>(info.size())); !length)
            return length.failure();
    // Past this no file is a screen (checkScreenFileLength): enough to tell.
    const auto bytes = fileBytes(job.screenFile, 65536);
    if (!bytes)
        return Failure{name, QFile(job.screenFile).exists() ? "cannot be read" : "no such file"};
    std::optional<InfFields> inf;
    if (const auto text = fileBytes(job.screenFile + QStringLiteral(".inf"), kCompanionBytes))
        inf = readInfLine(std::string(text->begin(), text->end()));
    const auto nula = job.palette ? std::nullopt : fileBytes(job.screenFile + QStringLiteral(".nula"), kCompanionBytes);
    return readScreenFile(name, *bytes, inf,
                          nula ? std::optional<std::span<const std::uint8_t>>(*nula) : std::nullopt);
}

std::string modeList(const std::vector<int>& modes)
{
    std::string list;
    for (const int mode : modes)
        list += (list.empty() ? "" : ", ") + std::to_string(mode);
    return list;
}

Result<int> chosenMode(const DecodeJob& job, const FoundScreen& found)
{
    if (job.mode) {
        if (std::find(found.modes.begin(), found.modes.end(), *job.mode) != found.modes.end())
            return *job.mode;
        return Failure{found.name, "does not fit mode " + std::to_string(*job.mode) + ": its length and load address " +
                                       "fit mode " + modeList(found.modes)};
    }
    if (found.modes.size() == 1)
        return found.modes.front();
    return Failure{found.name, "could be shown in mode " + modeList(found.modes) + "; say which with -m"};
}

Result<Screen> decodedScreen(const DecodeJob& job)
{
    auto found = readScreen(job);
    if (!found)
        return found.failure();
    const auto mode = chosenMode(job, found.value());
    if (!mode)
        return mode.failure();
    ScreenColours colours = found.value().colours;
    if (job.palette) {
        const ModeRecord* record = findModeRecord(mode.value());
        const int numcols = record->bitmap ? record->bitmap->numcols : 0;
        if (job.palette->count > numcols)
            return Failure{found.value().name, "--palette gives " + std::to_string(job.palette->count) +
                                                   " colours; mode " + std::to_string(mode.value()) + " has " +
                                                   std::to_string(numcols) + " it can change"};
        colours = {};
        for (int logical = 0; logical < job.palette->count; ++logical)
            colours.changes.push_back({logical, job.palette->colours[static_cast<std::size_t>(logical)]});
    }
    auto screen = screenFromMemory(mode.value(), found.value().memory, colours);
    if (!screen)
        return Failure{found.value().name, screen.failure().message()};
    if (const Status raster = readRasterBeside(job, screen.value()); !raster)
        return raster.failure();
    return screen;
}

Status writePicture(const DecodeJob& job, const Screen& screen)
{
    const auto png = realPreviewPng(Conversion{Settings{}, screen, {}});
    if (!png)
        return Failure{systemName(job.realPreviewFile), png.failure().reason};
    const std::array<FileContent, 1> file{{{systemName(job.realPreviewFile), png.value()}}};
    return replaceFiles(file);
}

void report(const Failure& failure)
{
    std::fprintf(stderr, "rasterine-convert: %s\n", QString::fromStdString(failure.message()).toLocal8Bit().constData());
}

}  // namespace

int runDecode(const DecodeJob& job)
{
    const auto screen = decodedScreen(job);
    if (!screen) {
        report(screen.failure());
        return kExitFailed;
    }
    if (const Status written = writePicture(job, screen.value()); !written) {
        report(Failure{job.screenFile.toStdString(),
                       "cannot write " + written.failure().subject + ": " + written.failure().reason});
        return kExitFailed;
    }
    if (job.verbose)
        std::printf("%s\n", job.realPreviewFile.toLocal8Bit().constData());
    return kExitConverted;
}
