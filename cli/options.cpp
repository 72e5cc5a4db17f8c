#include "cli/options.h"

#include "outputs/boot_discs.h"
#include "outputs/screen_files.h"
#include "conversion/screen_modes.h"
#include "conversion/settings.h"
#include "platform/version.h"

#include <QCommandLineParser>
#include <QDir>
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

struct HalftoneName {
    const char* name;
    Halftone halftone;
};

constexpr std::array<HalftoneName, 5> kHalftoneNames{{
    {"none", Halftone::None},
    {"fine", Halftone::Fine},
    {"coarse", Halftone::Coarse},
    {"spiral", Halftone::Spiral},
    {"diagonal", Halftone::Diagonal},
}};

const QString kDescription = QStringLiteral(
    "Converts pictures into BBC Micro screen memory: a screen file (20480 bytes in\n"
    "modes 0, 1 and 2, 10240 bytes in modes 4 and 5, 1000 bytes of teletext\n"
    "mosaics from &7C00 in mode 7) and its one-line .inf file.\n"
    "Gives the same bytes and preview as the Rasterine window.\n"
    "\n"
    "Mode 7 chooses its own colours and mosaics: with -m 7 only the default\n"
    "--halftone, --dither and --palette are accepted, and not --stagger.\n"
    "\n"
    "With --disc, also makes an Acorn DFS disc image (.ssd) that shows the\n"
    "picture when booted with Shift+Break; several pictures make a slideshow,\n"
    "over FILE-1.ssd, FILE-2.ssd ... when one disc cannot hold them all, and\n"
    "each picture's disc and DFS name are printed. With --disc, screen files\n"
    "are written only when --output or --output-dir asks for them.\n"
    "\n"
    "Exit status: 0 when every picture was converted and written, 1 when any\n"
    "picture failed, 2 when the command line itself is wrong.");

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption mode{{"m", "mode"}, "Screen mode 0, 1, 2, 4, 5 or 7 (teletext) (default 2).", "N",
                            "2"};
    QCommandLineOption halftone{{"t", "halftone"},
                                "Half-tone: none, fine, coarse, spiral or diagonal (default none).",
                                "NAME", "none"};
    QCommandLineOption stagger{{"s", "stagger"},
                               "Stagger the half-tone between red, green and blue."};
    QCommandLineOption dither{"dither",
                              "Method: classic (the --halftone pattern, default), floyd-steinberg, "
                              "atkinson, sierra-lite, jarvis, stucki, bayer, blue-noise or dbs.",
                              "NAME", "classic"};
    QCommandLineOption palette{"palette",
                               "Colours of modes 0, 1, 4 and 5 for the methods other than classic: "
                               "default, best (chosen for the picture) or physical colours 0-7 for "
                               "logical colours 0, 1, ... (C0,C1 or C0,C1,C2,C3).",
                               "P", "default"};
    QCommandLineOption fit{"fit", "Placing: stretch (default), fit (whole picture, with bars) or fill "
                                  "(crop to the screen's shape).",
                           "HOW", "stretch"};
    QCommandLineOption bar{"bar", "Physical colour 0-7 of the bars --fit fit leaves (default 0, black).",
                           "C", "0"};
    QCommandLineOption brightness{"brightness", "Add to the light, -1 to 1 (default 0).", "B", "0"};
    QCommandLineOption contrast{"contrast", "Contrast, 0 to 4 (default 1).", "C", "1"};
    QCommandLineOption saturation{"saturation", "Saturation, 0 to 4 (default 1).", "S", "1"};
    QCommandLineOption gamma{"gamma", "Gamma, 0.2 to 5 (default 1; above 1 lightens).", "G", "1"};
    QCommandLineOption damping{"damping", "Share of the error diffusion passes on, 0 to 1 (default 1).",
                               "D", "1"};
    QCommandLineOption output{{"o", "output"},
                              "Screen file for a single picture (default \"$.screen\"); its side "
                              "file is FILE with \".inf\" appended.",
                              "FILE"};
    QCommandLineOption preview{{"p", "preview"},
                               "Also write the converted picture as a 320 x 256 PNG, as the "
                               "window's preview shows it.",
                               "FILE"};
    QCommandLineOption outputDir{{"d", "output-dir"},
                                 "Write DIR/STEM.screen and DIR/STEM.screen.inf for each picture "
                                 "(STEM: the picture's name without its extension).",
                                 "DIR"};
    QCommandLineOption previews{"previews", "With --output-dir, also write DIR/STEM.png."};
    QCommandLineOption jobs{{"j", "jobs"},
                            "Convert N pictures at a time (default: one per processor).", "N"};
    QCommandLineOption verbose{"verbose", "Name every file written, on standard output, and the BASIC VDU 19 "
                                          "statement that sets a palette other than the mode's own."};
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
    QCommandLineOption tracks{"tracks", "Disc size for --disc: 40 or 80 tracks (default 80).", "N", "80"};
    QCommandLineOption delay{"delay",
                             "Slideshow: seconds each picture stays, up to 327; 0 waits for a key "
                             "(default). A key always moves on.",
                             "SECONDS", "0"};
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();

    Parser()
    {
        parser.setApplicationDescription(kDescription);
        parser.addOptions({mode, halftone, stagger, dither, palette, fit, bar, brightness, contrast, saturation,
                           gamma, damping, output, preview, outputDir, previews, jobs, verbose, disc, tracks,
                           delay, compress, noCompress});
        parser.addPositionalArgument("PICTURE", "Pictures to convert.", "PICTURE...");
    }
};

template <typename Value>
using Checked = std::variant<Value, UsageError>;

UsageError usage(const QString& message)
{
    return UsageError{kProgram, message.toStdString()};
}

Checked<int> readMode(const QString& text)
{
    bool number = false;
    const int mode = text.toInt(&number);
    if (!number || !convertibleMode(mode))
        return usage(QStringLiteral("screen mode must be 0, 1, 2, 4, 5 or 7, not '%1'").arg(text));
    return mode;
}

Checked<Halftone> readHalftone(const QString& text)
{
    for (const auto& entry : kHalftoneNames)
        if (text.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.halftone;
    return usage(QStringLiteral("half-tone must be none, fine, coarse, spiral or diagonal, not '%1'")
                     .arg(text));
}

Checked<int> readThreads(const QCommandLineParser& parser, const QCommandLineOption& jobs)
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

// The number an option gives, within min..max.
Checked<float> readNumber(const QCommandLineParser& parser, const QCommandLineOption& option, double min,
                          double max)
{
    bool number = false;
    const QString text = parser.value(option);
    const double value = text.toDouble(&number);
    if (!number || !(value >= min && value <= max))
        return usage(QStringLiteral("--%1 must be a number from %2 to %3, not '%4'")
                         .arg(option.names().constLast())
                         .arg(min)
                         .arg(max)
                         .arg(text));
    return static_cast<float>(value);
}

// Reads the method, palette and fit into `settings`.
std::optional<UsageError> readMethodSettings(const Parser& p, Settings& settings)
{
    const QCommandLineParser& parser = p.parser;
    const auto method = methodNamed(parser.value(p.dither).toStdString());
    if (!method)
        return usage(QStringLiteral("--dither must be classic, floyd-steinberg, atkinson, sierra-lite, "
                                    "jarvis, stucki, bayer, blue-noise or dbs, not '%1'")
                         .arg(parser.value(p.dither)));
    settings.method = *method;
    const auto palette = paletteNamed(parser.value(p.palette).toStdString());
    if (!palette)
        return usage(QStringLiteral("--palette must be default, best or physical colours 0-7 separated by "
                                    "commas, not '%1'")
                         .arg(parser.value(p.palette)));
    settings.palette = *palette;
    if (const std::string problem = paletteProblem(*palette, settings.mode); !problem.empty())
        return usage(QStringLiteral("--palette: %1").arg(QString::fromStdString(problem)));
    if (settings.method == Method::Classic && palette->kind != PaletteChoice::Kind::Default)
        return usage(QStringLiteral("--palette needs a --dither method other than classic"));
    const auto fit = fitNamed(parser.value(p.fit).toStdString());
    if (!fit)
        return usage(QStringLiteral("--fit must be stretch, fit or fill, not '%1'").arg(parser.value(p.fit)));
    settings.fit = *fit;
    return std::nullopt;
}

// Reads the bar colour, adjustments and damping into `settings`.
std::optional<UsageError> readAdjustments(const Parser& p, Settings& settings)
{
    const QCommandLineParser& parser = p.parser;
    const std::pair<const QCommandLineOption*, std::array<double, 2>> ranges[] = {
        {&p.bar, {0, 7}},      {&p.brightness, {-1, 1}}, {&p.contrast, {0, 4}},
        {&p.saturation, {0, 4}}, {&p.gamma, {0.2, 5}},   {&p.damping, {0, 1}}};
    std::array<float, 6> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto value = readNumber(parser, *ranges[i].first, ranges[i].second[0], ranges[i].second[1]);
        if (const auto* error = std::get_if<UsageError>(&value))
            return *error;
        values[i] = std::get<float>(value);
    }
    if (values[0] != static_cast<float>(static_cast<int>(values[0])))
        return usage(QStringLiteral("--bar must be a whole number from 0 to 7"));
    settings.barColour = static_cast<std::uint8_t>(values[0]);
    settings.adjustments = Adjustments{values[1], values[2], values[3], values[4]};
    settings.damping = values[5];
    return std::nullopt;
}

// Mode 7 chooses its own colours and mosaics, so an option that would choose
// them for it is refused rather than silently not read.
std::optional<UsageError> checkModeSeven(const Parser& p, const Settings& settings)
{
    if (settings.mode != 7)
        return std::nullopt;
    const QCommandLineOption* chosen = settings.method != Method::Classic          ? &p.dither
                                       : settings.halftone != Halftone::None       ? &p.halftone
                                       : p.parser.isSet(p.stagger)                 ? &p.stagger
                                                                                   : nullptr;
    if (chosen == nullptr)
        return std::nullopt;
    return usage(QStringLiteral("--%1 cannot be used with mode 7: mode 7 chooses its own colours")
                     .arg(chosen->names().constLast()));
}

// Reads mode, half-tone, stagger, jobs and verbosity into `options`.
std::optional<UsageError> readSettings(const Parser& p, Options& options)
{
    const QCommandLineParser& parser = p.parser;
    options.verbose = parser.isSet(p.verbose);
    options.settings.stagger = parser.isSet(p.stagger);
    const auto mode = readMode(parser.value(p.mode));
    if (const auto* error = std::get_if<UsageError>(&mode))
        return *error;
    options.settings.mode = std::get<int>(mode);
    const auto halftone = readHalftone(parser.value(p.halftone));
    if (const auto* error = std::get_if<UsageError>(&halftone))
        return *error;
    options.settings.halftone = std::get<Halftone>(halftone);
    if (auto error = readMethodSettings(p, options.settings))
        return error;
    if (auto error = checkModeSeven(p, options.settings))
        return error;
    if (auto error = readAdjustments(p, options.settings))
        return error;
    const auto threads = readThreads(parser, p.jobs);
    if (const auto* error = std::get_if<UsageError>(&threads))
        return *error;
    options.threads = std::get<int>(threads);
    return std::nullopt;
}

// The picture's file name without its last extension; a leading dot is part
// of the name, not an extension.
QString stem(const QString& picture)
{
    const QString name = QFileInfo(picture).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

// Refuses option combinations that have no single meaning.
std::optional<UsageError> checkCombination(const Parser& p, qsizetype pictures)
{
    const QCommandLineParser& parser = p.parser;
    if (pictures == 0)
        return usage(QStringLiteral("no picture given"));
    for (const auto* option : {&p.output, &p.preview, &p.outputDir, &p.disc})
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
    if (pictures > 1 && parser.isSet(p.preview))
        return usage(QStringLiteral("--preview names one file; for several pictures use "
                                    "--output-dir with --previews"));
    return std::nullopt;
}

std::vector<PictureJob> planJobs(const Parser& p, const QStringList& pictures)
{
    const QCommandLineParser& parser = p.parser;
    std::vector<PictureJob> jobs;
    for (const QString& picture : pictures) {
        // With --disc alone the disc is the output; screen files only when named.
        const QString screen = parser.isSet(p.disc) ? QString() : QString::fromUtf8(kScreenFileName);
        PictureJob job{picture, screen, parser.value(p.preview)};
        job.packedFile = parser.isSet(p.compress);
        if (parser.isSet(p.output))
            job.screenFile = parser.value(p.output);
        if (parser.isSet(p.outputDir)) {
            const QDir dir(parser.value(p.outputDir));
            job.screenFile = dir.filePath(stem(picture) + QStringLiteral(".screen"));
            if (parser.isSet(p.previews))
                job.previewFile = dir.filePath(stem(picture) + QStringLiteral(".png"));
        }
        jobs.push_back(job);
    }
    return jobs;
}

QStringList outputsOf(const PictureJob& job)
{
    QStringList outputs;
    if (!job.screenFile.isEmpty())
        outputs << job.screenFile << job.screenFile + QStringLiteral(".inf");
    if (!job.screenFile.isEmpty() && job.packedFile)
        outputs << job.screenFile + QStringLiteral(".zx02") << job.screenFile + QStringLiteral(".zx02.inf");
    if (!job.previewFile.isEmpty())
        outputs << job.previewFile;
    return outputs;
}

// Refuses plans that would write one file twice or write over a picture
// being converted, before anything is read or written. Each path is resolved
// once, so a batch of thousands of pictures is checked in a moment.
std::optional<UsageError> checkOutputs(const std::vector<PictureJob>& jobs)
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
    return std::nullopt;
}

QString absolute(const QString& file)
{
    return QDir::cleanPath(QFileInfo(file).absoluteFilePath());
}

// Disc images may not land on a picture or on another output.
std::optional<UsageError> checkDiscFiles(const std::vector<PictureJob>& jobs, const QStringList& discFiles)
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
    return std::nullopt;
}

Checked<int> readWhole(const QCommandLineParser& parser, const QCommandLineOption& option, int from, int to,
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
std::optional<UsageError> readDisc(const Parser& p, const QStringList& pictures, Options& options)
{
    const QCommandLineParser& parser = p.parser;
    if (!parser.isSet(p.disc))
        return std::nullopt;
    const auto tracks = readWhole(parser, p.tracks, 40, 80, QStringLiteral("40 or 80"));
    const auto delay = readWhole(parser, p.delay, 0, kMaxSlideDelaySeconds,
                                 QStringLiteral("0 (wait for a key) to %1 seconds").arg(kMaxSlideDelaySeconds));
    for (const auto* value : {&tracks, &delay})
        if (const auto* error = std::get_if<UsageError>(value))
            return *error;
    if (std::get<int>(tracks) != 40 && std::get<int>(tracks) != 80)
        return usage(QStringLiteral("--tracks must be 40 or 80, not '%1'").arg(parser.value(p.tracks)));
    DiscRequest request{parser.value(p.disc), std::get<int>(tracks), std::get<int>(delay), {}, {},
                        !parser.isSet(p.noCompress)};
    for (const QString& picture : pictures)
        request.slideNames.push_back(stem(picture).toStdString());
    if (const auto problem = planDiscs(request, options.settings.mode))
        return usage(QStringLiteral("--disc: %1").arg(*problem));
    options.disc = std::move(request);
    return checkDiscFiles(options.jobs, options.disc->discFiles);
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

CommandLine parseCommandLine(const QStringList& arguments)
{
    Parser p;
    QCommandLineParser& parser = p.parser;
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(p.help))
        return TextToPrint{helpText(parser)};
    if (parser.isSet(p.version))
        return TextToPrint{QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram),
                                                         QLatin1String(kRasterineVersion))};

    Options options;
    if (auto error = readSettings(p, options))
        return *error;
    const QStringList pictures = parser.positionalArguments();
    if (auto error = checkCombination(p, pictures.size()))
        return *error;
    options.jobs = planJobs(p, pictures);
    if (auto error = checkOutputs(options.jobs))
        return *error;
    if (auto error = readDisc(p, pictures, options))
        return *error;
    return options;
}

QString usageHint()
{
    return QStringLiteral("Usage: %1 [options] PICTURE...\nTry '%1 --help' for more information.\n")
        .arg(QLatin1String(kProgram));
}
