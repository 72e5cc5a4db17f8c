#include "cli/disc_output.h"

#include "conversion/screen_modes.h"
#include "outputs/boot_discs.h"
#include "platform/file_output.h"

#include <QFile>

#include <cstdio>

namespace {

// An empty screen of `mode`, a bitmap mode or mode 7; with `nula`, in
// VideoNuLA colours, whose loader lines are longer.
Conversion blankScreen(int mode, bool nula)
{
    const ModeRecord& record = *findModeRecord(mode);
    Conversion blank;
    blank.settings.mode = mode;
    if (record.bitmap == nullptr)
        blank.screen = Screen::teletext(std::vector<std::uint8_t>(static_cast<std::size_t>(record.screenBytes)));
    else
        blank.screen = Screen(*record.bitmap);
    if (nula && record.bitmap != nullptr)
        blank.screen.palette().nula = NulaTable{};
    return blank;
}

DiscSettings settingsOf(const DiscRequest& request, bool compress)
{
    return {request.tracks, request.delaySeconds, compress, discKind(request.file)};
}

// One picture makes a boot disc, several a slideshow.
Result<DiscSet> makeDiscs(const DiscRequest& request, const std::vector<const Conversion*>& pictures, bool compress,
                          const std::vector<std::vector<std::uint8_t>>& streams = {})
{
    std::vector<Slide> slides;
    for (std::size_t i = 0; i < pictures.size(); ++i)
        slides.push_back({request.slideNames[i], pictures[i], i < streams.size() ? streams[i] : std::span<const std::uint8_t>()});
    return makeDiscSet(slides, settingsOf(request, compress));
}

void printError(const QString& text)
{
    std::fprintf(stderr, "rasterine-convert: %s\n", text.toLocal8Bit().constData());
}

// Where a picture went inside its file: its DFS name, on the second side
// of a .dsd with its drive, in an .mmb with the disc's number for *DIN.
std::string placeOf(const PlacedPicture& picture, DiscKind kind)
{
    std::string place;
    if (kind == DiscKind::Mmb)
        place.append("disc ").append(std::to_string(picture.disc)).append(" ");
    else if (picture.drive != 0)
        place.append(":").append(std::to_string(picture.drive)).append(".");
    return place.append("$.").append(picture.dfsName);
}

// Which picture went on which disc under which DFS name.
void printContents(const QStringList& discFiles, const std::vector<PictureJob>& jobs, const DiscSet& discs,
                   DiscKind kind)
{
    for (std::size_t i = 0; i < discs.pictures.size(); ++i) {
        const PlacedPicture& picture = discs.pictures[i];
        std::printf("%s: %s %s\n", jobs[i].picture.toLocal8Bit().constData(),
                    discFiles[static_cast<qsizetype>(picture.file)].toLocal8Bit().constData(),
                    placeOf(picture, kind).c_str());
    }
}

// Compressed pictures may need fewer discs than planned: then the files
// are numbered for the discs made, and none of those may be a picture.
std::optional<QString> discFilesFor(const DiscRequest& request, const std::vector<PictureJob>& jobs,
                                    std::size_t count, QStringList& discFiles)
{
    discFiles = static_cast<std::size_t>(request.discFiles.size()) == count ? request.discFiles
                                                                            : numberedFiles(request.file, count);
    QStringList pictures;
    for (const PictureJob& job : jobs)
        pictures << job.picture;
    for (const QString& disc : discFiles)
        if (const auto picture = overwrittenPicture({disc}, pictures))
            return QStringLiteral("%1 would be overwritten by %2").arg(*picture, disc);
    return std::nullopt;
}

}  // namespace

std::optional<QString> planDiscs(DiscRequest& request, int mode, bool nula)
{
    // Blank screens of the mode, stored whole, stand in for the pictures:
    // how many fit on a disc then depends only on their size and names.
    const Conversion blank = blankScreen(mode, nula);
    const auto discs =
        makeDiscs(request, std::vector<const Conversion*>(request.slideNames.size(), &blank), false);
    if (!discs)
        return QString::fromStdString(discs.failure().message());
    request.discFiles = numberedFiles(request.file, discs.value().files.size());
    return std::nullopt;
}

ExitStatus writeDiscs(const DiscRequest& request, const std::vector<PictureJob>& jobs,
                      const std::vector<std::optional<Conversion>>& conversions,
                      const std::vector<std::vector<std::uint8_t>>& streams, bool verbose)
{
    std::vector<const Conversion*> pictures;
    for (const auto& conversion : conversions) {
        if (!conversion) {
            printError(QStringLiteral("%1: not written, as not every picture was converted")
                           .arg(request.discFiles.join(QStringLiteral(", "))));
            return kExitFailed;
        }
        pictures.push_back(&*conversion);
    }
    const auto discs = makeDiscs(request, pictures, request.compress, streams);
    if (!discs) {
        printError(QStringLiteral("%1: %2").arg(request.file, QString::fromStdString(discs.failure().reason)));
        return kExitFailed;
    }
    QStringList discFiles;
    if (const auto problem = discFilesFor(request, jobs, discs.value().files.size(), discFiles)) {
        printError(*problem);
        return kExitFailed;
    }
    if (const auto written = replaceFiles(discFileSet(discFiles, discs.value())); !written) {
        printError(QStringLiteral("cannot write %1: %2")
                       .arg(QFile::decodeName(written.failure().subject.c_str()),
                            QString::fromLocal8Bit(written.failure().reason.c_str())));
        return kExitFailed;
    }
    if (conversions.size() > 1)
        printContents(discFiles, jobs, discs.value(), discKind(request.file));
    if (verbose)
        for (const QString& file : discFiles)
            std::printf("%s\n", file.toLocal8Bit().constData());
    return kExitConverted;
}
