#include "cli/disc_output.h"

#include "conversion/screen_modes.h"
#include "outputs/boot_discs.h"
#include "platform/file_output.h"

#include <QFile>

#include <cassert>
#include <cstdio>

namespace {

// FILE for one disc; FILE-1.ssd, FILE-2.ssd ... (the number before a ".ssd"
// ending, or at the end of any other name) for several.
QStringList numberedFiles(const QString& file, std::size_t count)
{
    if (count == 1)
        return {file};
    const bool ssd = file.endsWith(QStringLiteral(".ssd"), Qt::CaseInsensitive);
    const QString base = ssd ? file.chopped(4) : file;
    QStringList files;
    for (std::size_t disc = 1; disc <= count; ++disc)
        files << QStringLiteral("%1-%2%3").arg(base).arg(disc).arg(ssd ? file.right(4) : QString());
    return files;
}

// An empty screen of `mode`, a bitmap mode or mode 7.
Conversion blankScreen(int mode)
{
    const ModeRecord& record = *findModeRecord(mode);
    Conversion blank;
    blank.mode = mode;
    if (record.bitmap != nullptr)
        blank.image = ScreenImage(*record.bitmap);
    blank.bytes.resize(static_cast<std::size_t>(record.screenBytes));
    blank.screenStart = record.screenStart;
    return blank;
}

// One picture makes a boot disc, several a slideshow.
Result<std::vector<DiscImage>> makeDiscs(const DiscRequest& request, const std::vector<const Conversion*>& pictures)
{
    if (pictures.size() == 1) {
        auto disc = bootDisc(*pictures.front(), request.tracks);
        if (!disc)
            return disc.failure();
        return std::vector<DiscImage>{std::move(disc).value()};
    }
    std::vector<Slide> slides;
    for (std::size_t i = 0; i < pictures.size(); ++i)
        slides.push_back({request.slideNames[i], pictures[i]});
    return slideshowDiscs(slides, request.tracks, request.delaySeconds);
}

void printError(const QString& text)
{
    std::fprintf(stderr, "rasterine-convert: %s\n", text.toLocal8Bit().constData());
}

// Which picture went on which disc under which DFS name.
void printContents(const DiscRequest& request, const std::vector<PictureJob>& jobs,
                   const std::vector<DiscImage>& discs)
{
    std::size_t picture = 0;
    for (std::size_t disc = 0; disc < discs.size(); ++disc)
        for (const auto& [name, dfsName] : discs[disc].pictures)
            std::printf("%s: %s $.%s\n", jobs[picture++].picture.toLocal8Bit().constData(),
                        request.discFiles[static_cast<qsizetype>(disc)].toLocal8Bit().constData(),
                        dfsName.c_str());
}

// Every disc of the run replaced together, or none. The discs are the ones
// planned before the pictures were read: same sizes, same names.
Status writeAll(const QStringList& discFiles, const std::vector<DiscImage>& discs)
{
    assert(discs.size() == static_cast<std::size_t>(discFiles.size()));
    std::vector<std::string> names;
    for (const QString& file : discFiles)
        names.push_back(QFile::encodeName(file).toStdString());
    std::vector<FileContent> files;
    for (std::size_t i = 0; i < names.size(); ++i)
        files.push_back({names[i], discs[i].bytes});
    return replaceFiles(files);
}

}  // namespace

std::optional<QString> planDiscs(DiscRequest& request, int mode)
{
    // Blank screens of the mode stand in for the pictures: how many fit on a
    // disc depends only on their size and names.
    const Conversion blank = blankScreen(mode);
    const auto discs = makeDiscs(request, std::vector<const Conversion*>(request.slideNames.size(), &blank));
    if (!discs)
        return QString::fromStdString(discs.failure().message());
    request.discFiles = numberedFiles(request.file, discs.value().size());
    return std::nullopt;
}

ExitStatus writeDiscs(const DiscRequest& request, const std::vector<PictureJob>& jobs,
                      const std::vector<std::optional<Conversion>>& conversions, bool verbose)
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
    const auto discs = makeDiscs(request, pictures);
    if (!discs) {
        printError(QStringLiteral("%1: %2").arg(request.file, QString::fromStdString(discs.failure().reason)));
        return kExitFailed;
    }
    if (const Status written = writeAll(request.discFiles, discs.value()); !written) {
        printError(QStringLiteral("cannot write %1: %2")
                       .arg(QFile::decodeName(written.failure().subject.c_str()),
                            QString::fromLocal8Bit(written.failure().reason.c_str())));
        return kExitFailed;
    }
    if (conversions.size() > 1)
        printContents(request, jobs, discs.value());
    if (verbose)
        for (const QString& file : request.discFiles)
            std::printf("%s\n", file.toLocal8Bit().constData());
    return kExitConverted;
}
