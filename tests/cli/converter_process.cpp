#include "converter_process.h"

#include <QImageWriter>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <csignal>
#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QProcessEnvironment bareEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

// Reads everything from a pseudo-terminal's controller side until the child
// side is closed.
std::string drain(int controller)
{
    std::string text;
    char chunk[4096];
    for (ssize_t n; (n = ::read(controller, chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<std::size_t>(n));
    return text;
}

}  // namespace

ConverterRun runConverter(const std::filesystem::path& folder, const QStringList& arguments,
                          const RunConditions& conditions)
{
    int controller = -1, terminal = -1;
    if (conditions.stderrOnTerminal && ::openpty(&controller, &terminal, nullptr, nullptr, nullptr) != 0)
        ADD_FAILURE() << "no pseudo-terminal";

    QProcess process;
    process.setProgram(QStringLiteral(RASTERINE_CONVERT));
    process.setArguments(arguments);
    process.setWorkingDirectory(QString::fromStdString(folder.string()));
    process.setProcessEnvironment(bareEnvironment());
    // Runs in the child between fork and exec: only async-signal-safe calls.
    process.setChildProcessModifier([&conditions, terminal] {
        ::close(STDIN_FILENO);
        ::signal(SIGXFSZ, SIG_DFL);
        if (conditions.fileSizeLimit) {
            const rlimit limit{static_cast<rlim_t>(*conditions.fileSizeLimit),
                               static_cast<rlim_t>(*conditions.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (terminal >= 0)
            ::dup2(terminal, STDERR_FILENO);
    });
    process.start();
    ConverterRun run;
    if (!process.waitForStarted(60'000)) {
        ADD_FAILURE() << "rasterine-convert did not start: " << process.errorString().toStdString();
        return run;
    }
    if (terminal >= 0)
        ::close(terminal);  // the child holds the only other copy
    if (!process.waitForFinished(conditions.hangAfterMs.value_or(-1)) &&
        process.state() != QProcess::NotRunning) {
        ADD_FAILURE() << "rasterine-convert still running after " << *conditions.hangAfterMs << " ms";
        process.kill();
        process.waitForFinished(-1);
    }
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput().toStdString();
    run.err = controller >= 0 ? drain(controller) : process.readAllStandardError().toStdString();
    if (controller >= 0)
        ::close(controller);
    return run;
}

QImage testPicture(int width, int height, unsigned seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    unsigned noise = seed;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int jitter = static_cast<int>((noise >> 16) % 41) - 20;
            const auto clamp = [](int v) { return std::clamp(v, 0, 255); };
            image.setPixel(x, y, qRgb(clamp(x * 255 / width + jitter), clamp(y * 255 / height - jitter),
                                      clamp((x + 2 * y) % 256 + jitter)));
        }
    return image;
}

QString savePicture(const QImage& image, const std::filesystem::path& folder,
                    const std::string& name, const char* format)
{
    const QString path = QString::fromStdString((folder / name).string());
    QImageWriter writer(path, format);
    EXPECT_TRUE(writer.write(image)) << name << ": " << writer.errorString().toStdString();
    return path;
}
