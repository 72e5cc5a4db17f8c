#include "cli/options.h"

#include "outputs/boot_discs.h"
#include "outputs/screen_files.h"
#include "conversion/option_catalogue.h"
#include "platform/version.h"
#include "recipe/disc_files.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace {

constexpr const char* kProgram = "rasterine-convert";

const QString kDescription = QStringLiteral(
    "Converts pictures into BBC Micro screen memory: a screen file (20480 bytes in\n"
    "modes 0, 1 and 2, 10240 bytes in modes 4 and 5, 1000 bytes of teletext\n"
    "mosaics from &7C00 in mode 7) and its one-line .inf file.\n"
    "Gives the same bytes and preview as the Rasterine window.\n"
    "\n"
    "An option the conversion would not read is refused, not ignored: -t and\n"
    "-s need --dither classic, --palette and --nula another method, --damping\n"
    "error diffusion and --bar --fit fit. Mode 7 chooses its own colours and\n"
    "mosaics, so it takes none of -t, -s, --dither, --palette, --nula, --damping.\n"
    "\n"
    "With --disc, also makes an Acorn DFS disc image (.ssd) that shows the\n"
    "picture when booted with Shift+Break; several pictures make a slideshow,\n"
    "over FILE-1.ssd, FILE-2.ssd ... when one disc cannot hold them all, and\n"
    "each picture's disc and DFS name are printed. With --disc, screen files\n"
    "are written only when --output or --output-dir asks for them.\n"
    "\n"
    "Exit status: 0 when every picture was converted and written, 1 when any\n"
    "picture failed, 2 when the command line itself is wrong.");

QString text(std::string_view view)
{
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

// The help line of an option taking a word or nothing, from its catalogue row.
QString optionHelp(const OptionRow& row)
{
    QString help = text(capitalised(row.summary));
    switch (row.option) {
    case Option::Mode: help += QStringLiteral(": %1 (7: teletext)").arg(text(convertibleModeNames())); break;
    case Option::Halftone: help += QStringLiteral(": %1").arg(text(halftoneNames())); break;
    case Option::Method: help += QStringLiteral(": %1 (dbs: slow, closest)").arg(text(methodNames())); break;
    case Option::Fit:
        for (const FitRow& fit : kFitRows)
            help += QStringLiteral("%1 %2 (%3)")
                        .arg(fit.fit == Fit::Stretch ? QStringLiteral(":") : QStringLiteral(","), text(fit.name),
                             text(fit.summary));
        break;
    default: break;
    }
    return row.start.empty() ? help + QLatin1Char('.') : help + QStringLiteral(" (default %1).").arg(text(row.start));
}

QCommandLineOption catalogueOption(const OptionRow& row)
{
    QStringList names;
    if (!row.letter.empty())
        names << text(row.letter);
    names << text(row.name);
    if (row.valueName.empty())
        return QCommandLineOption(names, optionHelp(row));
    return QCommandLineOption(names, optionHelp(row), text(row.valueName), text(row.start));
}

QCommandLineOption catalogueOption(const NumberRow& row)
{
    return QCommandLineOption(text(row.name),
                              QStringLiteral("%1, %2 to %3 (default %4).")
                                  .arg(text(capitalised(row.summary)))
                                  .arg(row.min)
                                  .arg(row.max)
                                  .arg(row.start),
                              text(row.valueName), QString::number(row.start));
}


struct Parser {
    QCommandLineParser parser;
    // The conversion's options, in the catalogue's order.
    std::vector<std::pair<Option, QCommandLineOption>> settings;
    QCommandLineOption output{{"o", "output"},
                              "Screen file for a single picture (default \"$.screen\"); its side "
                              "file is FILE with \".inf\" appended, naming it $.NAME after FILE "
                              "($.SCREEN for \"$.screen\").",
                              "FILE"};
    QCommandLineOption preview{{"p", "preview"},
                               "Also write the converted picture as a 320 x 256 PNG, as the "
                               "window's preview shows it.",
                               "FILE"};
    QCommandLineOption realPreview{"real-preview",
                                   "Also write the screen at its real resolution as a PNG (640, 320 or "
                                   "160 x 256; mode 7 640 x 500), as the window's \"Save Preview As...\" "
                                   "writes it.",
                                   "FILE"};
    QCommandLineOption outputDir{{"d", "output-dir"},
                                 "Write DIR/STEM.screen and DIR/STEM.screen.inf for each picture "
                                 "(STEM: the picture's name without its extension).",
                                 "DIR"};
    QCommandLineOption previews{"previews", "With --output-dir, also write DIR/STEM.png."};
    QCommandLineOption jobs{{"j", "jobs"},
                            "Convert N pictures at a time (default: one per processor).", "N"};
    QCommandLineOption verbose{"verbose", "Name every file written, on standard output, every earlier .nula "
                                          "or .zx02 file removed beside a screen (\"removed FILE\"), and the "
                                          "BASIC VDU 19 statement that sets a palette other than the mode's own."};
    QCommandLineOption disc{"disc",
                            "Write a bootable DFS disc image: one picture is shown at boot, "
                            "several make a slideshow (FILE-1.ssd, FILE-2.ssd ... if they need "
                            "more than one disc). FILE.dsd: double-sided discs, the slideshow on "
                            "both sides; FILE.mmb: one MMB file (MMFS) holding every disc.",
                            "FILE"};
    QCommandLineOption compress{"compress",
                                "Also write the ZX02 stream of each screen file beside it, "
                                "FILE.zx02 and its .inf (discs are compressed anyway)."};
    QCommandLineOption noCompress{"no-compress",
                                  "Discs hold the screens uncompressed, as before compression."};
    QCommandLineOption thorough{"thorough",
                                "Search every offset for the ZX02 streams of --compress and of discs: "
                                "as small as the format's reference compressor makes them, but seconds "
                                "a screen instead of hundredths."};
    QCommandLineOption tracks{"tracks", "Disc size for --disc: 40 or 80 tracks (default 80).", "N", "80"};
    QCommandLineOption delay{"delay",
                             "Slideshow: seconds each picture stays, up to 327; 0 waits for a key "
                             "(default). A key always moves on.",
                             "SECONDS", "0"};
    QCommandLineOption decode{"decode",
                              "Turn the screen file SCREEN back into a picture, written by --real-preview: "
                              "in mode -m (else the one mode its length and .inf allow), in --palette's "
                              "physical colours, else those of the .nula file beside it."};
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();

    const QCommandLineOption& option(Option which) const
    {
        for (const auto& [option, line] : settings)
            if (option == which)
                return line;
        return settings.front().second;
    }
    QString value(Option which) const { return parser.value(option(which)); }

    Parser()
    {
        parser.setApplicationDescription(kDescription);
        for (const OptionRow& row : kOptionRows)
            settings.emplace_back(row.option, catalogueOption(row));
        for (const NumberRow& row : kNumberRows)
            settings.emplace_back(row.option, catalogueOption(row));
        for (const auto& [option, line] : settings)
            parser.addOption(line);
        parser.addOptions({output, preview, realPreview, outputDir, previews, jobs, verbose, disc, tracks, delay, compress, noCompress, thorough, decode});
        parser.addPositionalArgument("PICTURE", "Pictures to convert.", "PICTURE...");
    }
};

// Arguments that cannot be carried out, told as the program's failure.
Failure usage(const QString& message)
{
    return Failure{kProgram, message.toStdString()};
}

Result<int> readThreads(const QCommandLineParser& parser, const QCommandLineOption& jobs)
{
    if (!parser.isSet(jobs))
        return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    bool number = false;
    const int threads = parser.value(jobs).toInt(&number);
    if (!number || threads < 1)
        return usage(QStringLiteral("--jobs needs a whole number of at least 1, not '%1'")
                         .arg(parser.value(jobs)));
    return threads;
}

// Reads the mode, half-tone, method, palette and fit: each word must be one
// the catalogue knows.
Status readWords(const Parser& p, Settings& settings)
{
    bool number = false;
    settings.mode = p.value(Option::Mode).toInt(&number);
    if (!number || !convertibleMode(settings.mode))
        return usage(QStringLiteral("screen mode must be %1, not '%2'")
                         .arg(text(convertibleModeNames()), p.value(Option::Mode)));
    const auto halftone = halftoneNamed(p.value(Option::Halftone).toStdString());
    if (!halftone)
        return usage(QStringLiteral("half-tone must be %1, not '%2'")
                         .arg(text(halftoneNames()), p.value(Option::Halftone)));
    settings.halftone = *halftone;
    settings.stagger = p.parser.isSet(p.option(Option::Stagger));
    const auto method = methodNamed(p.value(Option::Method).toStdString());
    if (!method)
        return usage(QStringLiteral("--dither must be %1, not '%2'").arg(text(methodNames()), p.value(Option::Method)));
    settings.method = *method;
    const auto palette = paletteNamed(p.value(Option::Palette).toStdString());
    if (!palette)
        return usage(QStringLiteral("--palette must be default, best or physical colours 0-7 separated by "
                                    "commas, not '%1'")
                         .arg(p.value(Option::Palette)));
    settings.palette = *palette;
    const auto fit = fitNamed(p.value(Option::Fit).toStdString());
    if (!fit)
        return usage(QStringLiteral("--fit must be %1, not '%2'").arg(text(fitNames()), p.value(Option::Fit)));
    settings.fit = *fit;
    settings.nula = p.parser.isSet(p.option(Option::Nula));
    settings.raster = p.parser.isSet(p.option(Option::Raster));
    return Done{};
}

// Reads the numbers, each within its catalogue range.
Status readNumbers(const Parser& p, Settings& settings)
{
    for (const NumberRow& row : kNumberRows) {
        bool number = false;
        const QString typed = p.value(row.option);
        const double value = typed.toDouble(&number);
        if (!number || !(value >= row.min && value <= row.max))
            return usage(QStringLiteral("--%1 must be a number from %2 to %3, not '%4'")
                             .arg(text(row.name))
                             .arg(row.min)
                             .arg(row.max)
                             .arg(typed));
        if (row.whole && value != static_cast<double>(static_cast<int>(value)))
            return usage(QStringLiteral("--%1 must be a whole number from %2 to %3")
                             .arg(text(row.name))
                             .arg(row.min)
                             .arg(row.max));
        setNumber(settings, row.option, value);
    }
    return Done{};
}

// The conversion's options typed on the command line, whatever their values.
std::vector<Option> givenOptions(const Parser& p)
{
    std::vector<Option> given;
    for (const auto& [option, line] : p.settings)
        if (p.parser.isSet(line))
            given.push_back(option);
    return given;
}

// Reads the conversion's settings, jobs and verbosity into `options`; a
// combination the engine would refuse, or an option given that the
// conversion would not read, is refused here, in the catalogue's words.
Status readSettings(const Parser& p, Options& options)
{
    options.verbose = p.parser.isSet(p.verbose);
    if (const Status words = readWords(p, options.settings); !words)
        return words;
    if (const Status numbers = readNumbers(p, options.settings); !numbers)
        return numbers;
    std::optional<SettingProblem> problem = settingsProblem(options.settings);
    if (!problem)
        problem = unreadGivenOption(options.settings, givenOptions(p));
    if (problem)
        return usage(QStringLiteral("--%1: %2")
                         .arg(text(optionName(problem->option)), QString::fromStdString(problem->reason)));
    const Result<int> threads = readThreads(p.parser, p.jobs);
    if (!threads)
        return threads.failure();
    options.threads = threads.value();
    return Done{};
}

// Refuses option combinations that have no single meaning.
Status checkCombination(const Parser& p, qsizetype pictures)
{
    const QCommandLineParser& parser = p.parser;
    if (pictures == 0)
        return usage(QStringLiteral("no picture given"));
    for (const auto* option : {&p.output, &p.preview, &p.realPreview, &p.outputDir, &p.disc})
        if (parser.isSet(*option) && parser.value(*option).isEmpty())
            return usage(QStringLiteral("--%1 needs a name").arg(option->names().constLast()));
    if (parser.isSet(p.output) && parser.isSet(p.outputDir))
        return usage(QStringLiteral("--output and --output-dir cannot be used together"));
    if (parser.isSet(p.previews) && !parser.isSet(p.outputDir))
        return usage(QStringLiteral("--previews needs --output-dir"));
    if (pictures > 1 && !parser.isSet(p.outputDir) && !parser.isSet(p.disc))
        return usage(QStringLiteral("several pictures need --output-dir or --disc"));
    if (parser.isSet(p.compress) && parser.isSet(p.noCompress))
        return usage(QStringLiteral("--compress and --no-compress cannot be used together"));
    for (const auto* option : {&p.tracks, &p.delay, &p.noCompress})
        if (parser.isSet(*option) && !parser.isSet(p.disc))
            return usage(QStringLiteral("--%1 needs --disc").arg(option->names().constLast()));
    if (parser.isSet(p.thorough) && !parser.isSet(p.compress) && (!parser.isSet(p.disc) || parser.isSet(p.noCompress)))
        return usage(QStringLiteral("--thorough needs --compress or a compressed --disc"));
    if (pictures > 1 && parser.isSet(p.preview))
        return usage(QStringLiteral("--preview names one file; for several pictures use "
                                    "--output-dir with --previews"));
    if (pictures > 1 && parser.isSet(p.realPreview))
        return usage(QStringLiteral("--real-preview names one file, for a single picture"));
    return Done{};
}

std::vector<PictureJob> planJobs(const Parser& p, const QStringList& pictures)
{
    const QCommandLineParser& parser = p.parser;
    std::vector<PictureJob> jobs;
    for (const QString& picture : pictures) {
        // With --disc alone the disc is the output; screen files only when named.
        const QString screen = parser.isSet(p.disc) ? QString() : QString::fromUtf8(kScreenFileName);
        PictureJob job{picture, screen, {}, parser.value(p.preview), parser.value(p.realPreview),
                       p.parser.isSet(p.option(Option::Nula))};
        job.packedFile = parser.isSet(p.compress);
        job.packedForDisc = parser.isSet(p.disc) && !parser.isSet(p.noCompress);
        job.search = parser.isSet(p.thorough) ? Zx02Search::Thorough : Zx02Search::Quick;
        if (parser.isSet(p.output))
            job.screenFile = parser.value(p.output);
        if (parser.isSet(p.outputDir)) {
            const QDir dir(parser.value(p.outputDir));
            job.screenFile = dir.filePath(fileStem(picture) + QStringLiteral(".screen"));
            if (parser.isSet(p.previews))
                job.previewFile = dir.filePath(fileStem(picture) + QStringLiteral(".png"));
        }
        jobs.push_back(job);
    }
    return jobs;
}

// Every file a job writes, or removes as a stale member of its screen's set.
QStringList outputsOf(const PictureJob& job)
{
    QStringList outputs;
    if (!job.screenFile.isEmpty())
        for (const std::string& file : screenSetFiles(QFile::encodeName(job.screenFile).toStdString()))
            outputs << QFile::decodeName(file.c_str());
    for (const QString& png : {job.previewFile, job.realPreviewFile})
        if (!png.isEmpty())
            outputs << png;
    return outputs;
}

// Gives each screen file the BBC names of its .inf files, different for
// every picture of a batch.
Status nameScreens(std::vector<PictureJob>& jobs)
{
    std::vector<PictureJob*> writing;
    std::vector<std::string> screenFiles;
    for (PictureJob& job : jobs)
        if (!job.screenFile.isEmpty()) {
            writing.push_back(&job);
            screenFiles.push_back(QFile::encodeName(job.screenFile).toStdString());
        }
    const auto names = screenNames(screenFiles);
    if (!names)
        return usage(QString::fromStdString(names.failure().message()));
    for (std::size_t i = 0; i < writing.size(); ++i)
        writing[i]->names = names.value()[i];
    return Done{};
}

// Refuses plans that would write one file twice or write over a picture
// being converted, before anything is read or written. Each path is resolved
// once, so a batch of thousands of pictures is checked in a moment.
Status checkOutputs(const std::vector<PictureJob>& jobs)
{
    std::map<QString, const PictureJob*> claimed;
    std::map<QString, const PictureJob*> pictures;
    for (const auto& job : jobs)
        if (const QString picture = QFileInfo(job.picture).canonicalFilePath(); !picture.isEmpty())
            pictures.emplace(picture, &job);
    for (const auto& job : jobs)
        for (const QString& output : outputsOf(job)) {
            const QString key = QDir::cleanPath(QFileInfo(output).absoluteFilePath());
            const auto [earlier, fresh] = claimed.emplace(key, &job);
            if (!fresh && earlier->second->picture == job.picture)
                return usage(QStringLiteral("%1 is named for two outputs").arg(output));
            if (!fresh)
                return usage(QStringLiteral("%1 and %2 would both be written to %3 (the same name "
                                            "without extension)")
                                 .arg(earlier->second->picture, job.picture, output));
            // Only an output that exists already can be a picture.
            const QString existing = QFileInfo(output).canonicalFilePath();
            if (const auto picture = pictures.find(existing); !existing.isEmpty() && picture != pictures.end())
                return usage(QStringLiteral("%1 would be overwritten by %2")
                                 .arg(picture->second->picture, output));
        }
    return Done{};
}

QString absolute(const QString& file)
{
    return QDir::cleanPath(QFileInfo(file).absoluteFilePath());
}

// Disc images may not land on a picture or on another output.
Status checkDiscFiles(const std::vector<PictureJob>& jobs, const QStringList& discFiles)
{
    for (const QString& disc : discFiles)
        for (const auto& job : jobs) {
            const QString picture = QFileInfo(job.picture).canonicalFilePath();
            if (!picture.isEmpty() && QFileInfo(disc).canonicalFilePath() == picture)
                return usage(QStringLiteral("%1 would be overwritten by %2").arg(job.picture, disc));
            for (const QString& output : outputsOf(job))
                if (absolute(output) == absolute(disc))
                    return usage(QStringLiteral("%1 is named for two outputs").arg(disc));
        }
    return Done{};
}

Result<int> readWhole(const QCommandLineParser& parser, const QCommandLineOption& option, int from, int to,
                       const QString& meaning)
{
    bool number = false;
    const int value = parser.value(option).toInt(&number);
    if (!number || value < from || value > to)
        return usage(QStringLiteral("--%1 must be %2, not '%3'")
                         .arg(option.names().constLast(), meaning, parser.value(option)));
    return value;
}

// Reads --disc, --tracks and --delay and plans the discs, before any picture is read.
Status readDisc(const Parser& p, const QStringList& pictures, Options& options)
{
    const QCommandLineParser& parser = p.parser;
    if (!parser.isSet(p.disc))
        return Done{};
    const auto tracks = readWhole(parser, p.tracks, 40, 80, QStringLiteral("40 or 80"));
    const auto delay = readWhole(parser, p.delay, 0, kMaxSlideDelaySeconds,
                                 QStringLiteral("0 (wait for a key) to %1 seconds").arg(kMaxSlideDelaySeconds));
    for (const auto* value : {&tracks, &delay})
        if (!*value)
            return value->failure();
    if (tracks.value() != 40 && tracks.value() != 80)
        return usage(QStringLiteral("--tracks must be 40 or 80, not '%1'").arg(parser.value(p.tracks)));
    DiscRequest request{parser.value(p.disc), tracks.value(), delay.value(), {}, {},
                        !parser.isSet(p.noCompress)};
    for (const QString& picture : pictures)
        request.slideNames.push_back(fileStem(picture).toStdString());
    if (const Status planned = planDiscs(request, options.settings.mode, options.settings.nula); !planned)
        return usage(QStringLiteral("--disc: %1").arg(QString::fromStdString(planned.failure().message())));
    options.disc = std::move(request);
    return checkDiscFiles(options.jobs, options.disc->discFiles);
}

// The options --decode reads; any other is refused rather than ignored.
bool readByDecode(const QString& name)
{
    static const QStringList read{QStringLiteral("decode"), QStringLiteral("m"), QStringLiteral("mode"),
                                  QStringLiteral("palette"), QStringLiteral("real-preview"), QStringLiteral("verbose")};
    return read.contains(name);
}

// --decode -m N SCREEN --real-preview OUT.png: one screen, one picture.
Result<Command> readDecode(const Parser& p)
{
    const QCommandLineParser& parser = p.parser;
    for (const QString& name : parser.optionNames())
        if (!readByDecode(name))
            return usage(QStringLiteral("--%1 is not read with --decode").arg(name));
    const QStringList screens = parser.positionalArguments();
    if (screens.size() != 1)
        return usage(QStringLiteral("--decode reads one screen file, not %1").arg(screens.size()));
    if (!parser.isSet(p.realPreview) || parser.value(p.realPreview).isEmpty())
        return usage(QStringLiteral("--decode needs --real-preview FILE, the picture it writes"));
    DecodeJob job{screens.front(), std::nullopt, std::nullopt, parser.value(p.realPreview), parser.isSet(p.verbose)};
    if (parser.isSet(p.option(Option::Mode))) {
        bool number = false;
        job.mode = p.value(Option::Mode).toInt(&number);
        if (!number || !convertibleMode(*job.mode))
            return usage(QStringLiteral("screen mode must be %1, not '%2'")
                             .arg(text(convertibleModeNames()), p.value(Option::Mode)));
    }
    if (parser.isSet(p.option(Option::Palette))) {
        const auto palette = paletteNamed(p.value(Option::Palette).toStdString());
        if (!palette || palette->kind == PaletteChoice::Kind::Best)
            return usage(QStringLiteral("--palette with --decode must be default or physical colours 0-7 "
                                        "separated by commas, not '%1'")
                             .arg(p.value(Option::Palette)));
        job.palette = *palette;
    }
    if (QFileInfo(job.realPreviewFile).absoluteFilePath() == QFileInfo(job.screenFile).absoluteFilePath())
        return usage(QStringLiteral("%1 would be overwritten by %2").arg(job.screenFile, job.realPreviewFile));
    return Command{std::move(job)};
}

// Qt's help names the program by the path it was started with; the usage
// line reads better with the plain command name.
QString helpText(const QCommandLineParser& parser)
{
    QString text = parser.helpText();
    const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
    return usageHint().section(QLatin1Char('\n'), 0, 0) + text.mid(firstLineEnd);
}

}  // namespace

Result<Command> parseCommandLine(const QStringList& arguments)
{
    Parser p;
    QCommandLineParser& parser = p.parser;
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(p.help))
        return Command{TextToPrint{helpText(parser)}};
    if (parser.isSet(p.version))
        return Command{TextToPrint{QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram),
                                                                 QLatin1String(kRasterineVersion))}};

    if (parser.isSet(p.decode))
        return readDecode(p);
    Options options;
    if (const Status read = readSettings(p, options); !read)
        return read.failure();
    const QStringList pictures = parser.positionalArguments();
    if (const Status combined = checkCombination(p, pictures.size()); !combined)
        return combined.failure();
    options.jobs = planJobs(p, pictures);
    if (const Status distinct = checkOutputs(options.jobs); !distinct)
        return distinct.failure();
    if (const Status named = nameScreens(options.jobs); !named)
        return named.failure();
    if (const Status disc = readDisc(p, pictures, options); !disc)
        return disc.failure();
    return Command{std::move(options)};
}

QString usageHint()
{
    return QStringLiteral("Usage: %1 [options] PICTURE...\nTry '%1 --help' for more information.\n")
        .arg(QLatin1String(kProgram));
}
