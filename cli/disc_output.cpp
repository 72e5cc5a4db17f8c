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

// A failure of the disc step as a whole, told in one sentence.
Failure discFailure(const QString& sentence)
{
    return Failure{"rasterine-convert", sentence.toStdString()};
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
Result<QStringList> discFilesFor(const DiscRequest& request, const std::vector<PictureJob>& jobs, std::size_t count)
{
    const QStringList discFiles = static_cast<std::size_t>(request.discFiles.size()) == count
                                      ? request.discFiles
                                      : numberedFiles(request.file, count);
    QStringList pictures;
    for (const PictureJob& job : jobs)
        pictures << job.picture;
    for (const QString& disc : discFiles)
        if (const auto picture = overwrittenPicture({disc}, pictures))
            return discFailure(QStringLiteral("%1 would be overwritten by %2").arg(*picture, disc));
    return discFiles;
}

// Every picture's conversion, or the failure that keeps the discs from
// being made at all.
Result<std::vector<const Conversion*>> convertedPictures(const DiscRequest& request,
                                                        const std::vector<std::optional<Conversion>>& conversions)
{
    std::vector<const Conversion*> pictures;
    for (const auto& conversion : conversions) {
        if (!conversion)
            return discFailure(QStringLiteral("%1: not written, as not every picture was converted")
                                   .arg(request.discFiles.join(QStringLiteral(", "))));
        pictures.push_back(&*conversion);
    }
    return pictures;
}

// The discs made and the files they were written to.
struct WrittenDiscs {
    DiscSet discs;
    QStringList files;
};

// Makes the discs and writes them all or none.
Result<WrittenDiscs> makeAndWriteDiscs(const DiscRequest& request, const std::vector<PictureJob>& jobs,
                                       const std::vector<const Conversion*>& pictures,
                                       const std::vector<std::vector<std::uint8_t>>& streams)
{
    Result<DiscSet> discs = makeDiscs(request, pictures, request.compress, streams);
    if (!discs)
        return discFailure(QStringLiteral("%1: %2").arg(request.file, QString::fromStdString(discs.failure().reason)));
    const Result<QStringList> files = discFilesFor(request, jobs, discs.value().files.size());
    if (!files)
        return files.failure();
    if (const auto written = replaceFiles(discFileSet(files.value(), discs.value())); !written)
        return discFailure(QStringLiteral("cannot write %1: %2")
                               .arg(QFile::decodeName(written.failure().subject.c_str()),
                                    QString::fromLocal8Bit(written.failure().reason.c_str())));
    return WrittenDiscs{std::move(discs).value(), files.value()};
}

}  // namespace

Status planDiscs(DiscRequest& request, int mode, bool nula)
{
    // Blank screens of the mode, stored whole, stand in for the pictures:
    // how many fit on a disc then depends only on their size and names.
    const Conversion blank = blankScreen(mode, nula);
    const auto discs =
        makeDiscs(request, std::vector<const Conversion*>(request.slideNames.size(), &blank), false);
    if (!discs)
        return discs.failure();
    request.discFiles = numberedFiles(request.file, discs.value().files.size());
    return Done{};
}

ExitStatus writeDiscs(const DiscRequest& request, const std::vector<PictureJob>& jobs,
                      const std::vector<std::optional<Conversion>>& conversions,
                      const std::vector<std::vector<std::uint8_t>>& streams, bool verbose)
{
    const Result<std::vector<const Conversion*>> pictures = convertedPictures(request, conversions);
    const Result<WrittenDiscs> written =
        pictures ? makeAndWriteDiscs(request, jobs, pictures.value(), streams) : pictures.failure();
    if (!written) {
        std::fprintf(stderr, "%s\n", QString::fromStdString(written.failure().message()).toLocal8Bit().constData());
        return kExitFailed;
    }
    if (conversions.size() > 1)
        printContents(written.value().files, jobs, written.value().discs, discKind(request.file));
    if (verbose)
        for (const QString& file : written.value().files)
            std::printf("%s\n", file.toLocal8Bit().constData());
    return kExitConverted;
}
