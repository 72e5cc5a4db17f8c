// Fuzzes the picture path from arbitrary bytes: the same decoding as
// loadPicture (content-sniffed format, size limits, EXIF orientation, stretch
// over white), then sampling and conversion as the window runs them.
//
// Properties checked: loading gives either a 320 x 256 picture or a reason;
// the same bytes give the same pixels twice; the conversion of the picture
// keeps the screen invariants. The
// mode and half-tone come from the input's length so that every mode is
// reached without disturbing the file's leading bytes.
#include "tests/engine_steps.h"
#include "screen_invariants.h"

#include "conversion/classic/halftone.h"
#include "picture/picture_loader.h"
#include "picture/picture_sampling.h"
#include "picture/qimage_surface.h"

#include <QBuffer>
#include <QGuiApplication>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

constexpr std::array<int, 5> kModes{0, 1, 2, 4, 5};

Result<LoadedPicture> load(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                               static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return loadPicture(buffer);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "picture_fuzzer";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Result<LoadedPicture> picture = load(data, size);
    if (!picture.ok()) {
        require(!picture.failure().reason.empty(), "loading gave neither a picture nor a reason");
        return 0;
    }
    require(picture.value().image.size() == QSize(kPictureWidth, kPictureHeight), "picture is not 320 x 256");
    require(picture.value().image.format() == QImage::Format_RGB32, "picture is not RGB32");
    const Result<LoadedPicture> again = load(data, size);
    require(again.ok() && again.value().image == picture.value().image, "same bytes gave different pixels");

    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    state->curmode = kModes[size % kModes.size()];
    state->htone = static_cast<std::int32_t>((size / kModes.size()) % 5);
    state->stagger = (size / 25) % 2 != 0;
    samplePicture(picture.value().image, *state);
    InitVars(*state);
    InitMat(*state);

    QImage canvas = picture.value().image.copy();  // the preview starts as a copy of the source
    QImageSurface preview(canvas);
    require(!conversionProblem(*state), "sampled picture refused");
    const Conversion screen = convertPlanes(*state, preview);
    checkScreenInvariants(*state, screen.bytes(), preview);
    return 0;
}
