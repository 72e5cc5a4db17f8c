#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>
#include <string>

// What one run of the real rasterine-convert binary did.
struct ConverterRun {
    int exitCode = -1;
    bool crashed = false;
    std::string out;  // standard output
    std::string err;  // standard error
};

struct RunConditions {
    std::optional<long> fileSizeLimit;  // RLIMIT_FSIZE in bytes for the child
    bool stderrOnTerminal = false;      // standard error on a pseudo-terminal
    std::optional<int> hangAfterMs;     // a run still going this long is killed and fails
};

// Runs rasterine-convert in `folder` the way a build script would: no display,
// no Qt platform setting, no standard input, SIGXFSZ at its default action.
ConverterRun runConverter(const std::filesystem::path& folder, const QStringList& arguments,
                          const RunConditions& conditions = {});

// A colourful picture with smooth gradients and fine detail, so every mode,
// half-tone and stagger setting gives different bytes. Its size differs from
// 320 x 256 so that the stretch is exercised too.
QImage testPicture(int width = 401, int height = 299, unsigned seed = 1);

// Saves `image` in `format` (as Qt names it) to folder/name and returns the path.
QString savePicture(const QImage& image, const std::filesystem::path& folder,
                    const std::string& name, const char* format);
