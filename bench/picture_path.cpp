// One picture through the whole shared picture path, once, as a process of its
// own: loadPicture, samplePicture, InitVars, InitMat and the conversion pass,
// everything the command line does except writing the files. The comparison
// script times it beside djpeg and ImageMagick.
// Usage: picture_path [--mode N] [--tone N] PICTURE
#include "tests/engine_steps.h"
#include "conversion/classic/conversion_pass.h"
#include "conversion/classic/halftone.h"
#include "picture/picture_loader.h"
#include "picture/picture_sampling.h"
#include "picture/qimage_surface.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

int main(int argc, char** argv)
{
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mode") == 0 && i + 1 < argc)
            state->curmode = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--tone") == 0 && i + 1 < argc)
            state->htone = std::atoi(argv[++i]);
        else
            path = argv[i];
    }
    if (path == nullptr) {
        std::fprintf(stderr, "usage: picture_path [--mode N] [--tone N] PICTURE\n");
        return 2;
    }

    const Result<LoadedPicture> picture = loadPicture(QString::fromLocal8Bit(path));
    if (!picture.ok()) {
        std::fprintf(stderr, "%s: %s\n", path, failureReason(picture.failure()).toLocal8Bit().constData());
        return 1;
    }
    samplePicture(picture.value().image, *state);
    InitVars(*state);
    InitMat(*state);
    QImage preview = picture.value().image.copy();
    QImageSurface surface(preview);
    if (const auto problem = conversionProblem(*state)) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        return 1;
    }
    const Conversion image = convertPlanes(*state, surface);
    std::printf("%zu screen bytes\n", image.bytes().size());
    return 0;
}
