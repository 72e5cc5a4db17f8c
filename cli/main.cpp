#include "cli/batch.h"
#include "cli/exit_status.h"
#include "cli/options.h"
#include "platform/version.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

bool verboseRun = false;

// Qt's own diagnostics (a decoder's remark about a damaged file, say) would
// break the silence scripts rely on; they are shown only with --verbose.
void qtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (verboseRun || type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "rasterine-convert: %s\n", message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv)
{
    // Past a file-size limit a write then fails with an error we report,
    // instead of the signal ending the program with a half-written file.
    std::signal(SIGXFSZ, SIG_IGN);
    qInstallMessageHandler(qtMessages);

    // A core application is all that decoding needs: no display is opened.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rasterine-convert"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kRasterineVersion));

    const Result<Command> command = parseCommandLine(QCoreApplication::arguments());
    if (!command) {
        std::fprintf(stderr, "%s\n%s", QString::fromStdString(command.failure().message()).toLocal8Bit().constData(),
                     usageHint().toLocal8Bit().constData());
        return kExitUsageError;
    }
    if (const auto* text = std::get_if<TextToPrint>(&command.value())) {
        std::fputs(text->text.toLocal8Bit().constData(), stdout);
        return kExitConverted;
    }
    if (const auto* decode = std::get_if<DecodeJob>(&command.value())) {
        verboseRun = decode->verbose;
        return runDecode(*decode);
    }
    const Options& options = std::get<Options>(command.value());
    verboseRun = options.verbose;
    return runBatch(options);
}
