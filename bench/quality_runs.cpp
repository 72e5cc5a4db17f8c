#include "tests/engine_steps.h"
#include "quality_runs.h"

#include "conversion/option_catalogue.h"
#include "conversion/entry/picture_conversion.h"
#include "picture/picture_linear.h"
#include "picture/picture_loader.h"
#include "picture/picture_sampling.h"


#include <chrono>
#include <memory>
#include <stdexcept>

QualityPicture loadQualityPicture(const QString& path)
{
    const Result<LoadedPicture> loaded = loadPicture(path, PictureDetail::Display);
    if (!loaded.ok())
        throw std::runtime_error(path.toStdString() + ": " + failureReason(loaded.failure()).toStdString());
    LinearImage source = linearPicture(loaded.value().source);
    LinearImage display = areaAverage(source, kDisplayWidth, kDisplayLines);
    return QualityPicture{path, loaded.value().image, std::move(source), std::move(display)};
}

std::vector<QualityRun> qualityRuns(int mode)
{
    std::vector<QualityRun> runs;
    const char* halftones[] = {"none", "fine", "coarse", "spiral", "diagonal"};
    for (int tone = 0; tone < 5; ++tone) {
        Settings settings;
        settings.mode = mode;
        settings.halftone = static_cast<Halftone>(tone);
        runs.push_back({std::string("classic ") + halftones[tone], settings});
    }
    for (Method method : kAllMethods) {
        if (method == Method::Classic)
            continue;
        Settings settings;
        settings.mode = mode;
        settings.method = method;
        runs.push_back({std::string(methodName(method)), settings});
        if (mode != 2) {
            settings.palette.kind = PaletteChoice::Kind::Best;
            runs.push_back({std::string(methodName(method)) + " +best", settings});
        }
    }
    for (Method method : kAllMethods) {
        if (method == Method::Classic)
            continue;
        Settings settings;
        settings.mode = mode;
        settings.method = method;
        settings.nula = true;
        runs.push_back({"nula " + std::string(methodName(method)), settings});
    }
    // Colours by line, against the one-palette runs they fall back to.
    for (Method method : {Method::FloydSteinberg, Method::Dbs}) {
        Settings settings;
        settings.mode = mode;
        settings.method = method;
        settings.raster = true;
        if (mode != 2) {
            settings.palette.kind = PaletteChoice::Kind::Best;
            runs.push_back({"raster " + std::string(methodName(method)) + " +best", settings});
        }
        settings.palette = {};
        settings.nula = true;
        runs.push_back({"nula raster " + std::string(methodName(method)), settings});
    }
    return runs;
}

Converted convertForQuality(const QualityPicture& picture, const Settings& settings)
{
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    samplePicture(picture.canvas, *state);
    BufferSurface preview(kPictureWidth, kPictureHeight);
    const auto start = std::chrono::steady_clock::now();
    Conversion conversion = convertWithSettings(settings, *state, picture.source, preview);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return Converted{std::move(conversion.screen), took.count()};
}
