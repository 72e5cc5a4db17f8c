#include "ui/window_arguments.h"

#include "platform/version.h"

namespace {

constexpr const char* kProgram = "rasterine";

const QString kHelp = QStringLiteral(
    "Usage: rasterine [PICTURE]\n"
    "Opens the Rasterine window, which turns a picture into BBC Micro screen\n"
    "memory. A PICTURE named here is opened as File > Open... opens one: a second\n"
    "later it is converted, and $.screen and $.screen.inf are written to the\n"
    "current folder. Only one picture is opened. A BBC Micro screen file or\n"
    "disc image named here is opened in the Edit window instead.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  -v, --version  Show the version and exit.\n"
    "\n"
    "rasterine-convert makes the same conversion without a window.\n");

bool isOption(const QString& argument)
{
    return argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
}

QString quoted(const QString& name)
{
    return QStringLiteral("\u201c%1\u201d").arg(name);
}

}  // namespace

std::optional<QString> helpOrVersion(const QStringList& arguments)
{
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
            return kHelp;
        if (argument == QLatin1String("-v") || argument == QLatin1String("--version"))
            return QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram), QLatin1String(kRasterineVersion));
    }
    return std::nullopt;
}

Result<StartPictures> startPictures(const QStringList& arguments)
{
    QStringList names;
    bool optionsEnded = false;
    for (const QString& argument : arguments.mid(1)) {
        if (!optionsEnded && argument == QLatin1String("--"))
            optionsEnded = true;
        else if (!optionsEnded && isOption(argument))
            return Failure{kProgram, QStringLiteral("unknown option '%1'").arg(argument).toStdString()};
        else if (!argument.isEmpty())
            names << argument;
    }
    return StartPictures{names.value(0), names.mid(1)};
}

QString windowUsageHint()
{
    return QStringLiteral("Try '%1 --help' for more information.\n").arg(QLatin1String(kProgram));
}

QString notOpenedNote(const StartPictures& pictures)
{
    QStringList names;
    for (const QString& name : pictures.notOpened)
        names << quoted(name);
    const QString list = names.size() == 1 ? names.front()
                                            : names.mid(0, names.size() - 1).join(QStringLiteral(", ")) +
                                                  QStringLiteral(" and ") + names.back();
    return QStringLiteral("%1 %2 not opened: Rasterine opens only the first picture named, %3")
        .arg(list, names.size() == 1 ? QStringLiteral("was") : QStringLiteral("were"), quoted(pictures.picture));
}
