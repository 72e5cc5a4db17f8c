#include "tests/engine_steps.h"
#include "test_support.h"
#include "window_path.h"

#include "conversion/entry/picture_conversion.h"
#include "outputs/screen_files.h"
#include "platform/file_output.h"
#include "picture/picture_loader.h"
#include "picture/picture_sampling.h"
#include "picture/qimage_surface.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

QImage convertAsTheWindowDoes(const QString& picture, int mode, Halftone halftone, bool stagger,
                              const std::string& screenFile)
{
    const Result<LoadedPicture> loaded = loadPicture(picture);
    EXPECT_TRUE(loaded.ok()) << failureReason(loaded.failure()).toStdString();
    QImage canvas(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter(&canvas).drawImage(0, 0, loaded.value().image);

    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    state->curmode = mode;
    state->htone = static_cast<std::int32_t>(halftone);
    state->stagger = stagger;
    samplePicture(canvas, *state);
    QImage preview = canvas.copy();
    QImageSurface surface(preview);
    // The window's one engine entry, which sends mode 7 to the teletext converter.
    const Conversion conversion = convertWithSettings(settingsOf(*state), *state, LinearImage(), surface);
    const auto written = replaceFiles(screenFileSet(screenFile, conversion));
    EXPECT_TRUE(written.ok()) << written.failure().message();
    return preview;
}
