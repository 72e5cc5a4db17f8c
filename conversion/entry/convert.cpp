#include "conversion/entry/convert.h"

#include "conversion/classic/conversion_state.h"
#include "conversion/entry/picture_conversion.h"
#include "conversion/option_catalogue.h"

#include <memory>

namespace {

constexpr const char* kStoppedReason = "stopped";

// The canvas's pixels into the state's planes, rows from the top.
void samplePlanes(const PixelSurface& canvas, ConversionState& state)
{
    for (int y = 0; y < kPictureHeight; ++y) {
        const std::uint32_t* line = canvas.scanLine(y);
        for (int x = 0; x < kPictureWidth; ++x) {
            state.red(x, y) = static_cast<std::int32_t>((line[x] >> 16) & 0xFF);
            state.green(x, y) = static_cast<std::int32_t>((line[x] >> 8) & 0xFF);
            state.blue(x, y) = static_cast<std::int32_t>(line[x] & 0xFF);
        }
    }
}

Failure stopped()
{
    return Failure{kStoppedSubject, kStoppedReason};
}

}  // namespace

bool readsDetail(const Settings& settings)
{
    return readsSource(settings);
}

bool wasStopped(const Failure& failure)
{
    return failure == stopped();
}

Result<Conversion> convert(const Settings& settings, const SourcePicture& source, const ProgressReport& progress,
                           std::stop_token stop)
{
    if (const auto problem = settingsProblem(settings))
        return Failure{"--" + std::string(optionName(problem->option)), problem->reason};
    if (source.canvas.width() != kPictureWidth || source.canvas.height() != kPictureHeight)
        return Failure{"picture", "the picture was not drawn on the 320 x 256 canvas"};
    if (readsDetail(settings) && (!source.detail || source.detail->width == 0 || source.detail->height == 0))
        return Failure{"picture", "the picture's detail was not decoded"};
    if (stop.stop_requested())
        return stopped();

    // About a megabyte of planes and tables: one per conversion, on the heap,
    // so that conversions can run side by side.
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    samplePlanes(source.canvas, *state);
    BufferSurface preview = source.canvas;
    static const LinearImage kNoDetail;
    Conversion conversion = convertWithSettings(settings, *state, source.detail ? *source.detail : kNoDetail,
                                                preview, progress, stop);
    if (stop.stop_requested())
        return stopped();
    conversion.preview = std::move(preview);
    return conversion;
}
