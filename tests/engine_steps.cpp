#include "tests/engine_steps.h"

#include "conversion/classic/conversion_pass.h"
#include "conversion/entry/picture_conversion.h"
#include "conversion/painter.h"
#include "conversion/teletext/teletext_conversion.h"

#include <utility>

namespace {

// The planes as the 320 x 256 canvas they would have been sampled from.
BufferSurface planesCanvas(const ConversionState& state)
{
    BufferSurface canvas(kPictureWidth, kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            canvas.scanLine(y)[x] = 0xFF000000u | static_cast<std::uint32_t>(state.red(x, y)) << 16 |
                                    static_cast<std::uint32_t>(state.green(x, y)) << 8 |
                                    static_cast<std::uint32_t>(state.blue(x, y));
    return canvas;
}

Conversion painted(Settings settings, Screen screen, PixelSurface& preview)
{
    paintScreen(screen, preview);
    return Conversion{settings, std::move(screen), {}};
}

}  // namespace

Conversion convertPlanes(const ConversionState& state, PixelSurface& preview)
{
    return painted(settingsOf(state), WriteImage(state), preview);
}

Conversion convertScreen(ConversionState& state, PixelSurface& preview)
{
    Screen screen = convertScreen(state);
    return painted(settingsOf(state), std::move(screen), preview);
}

Conversion convertTeletext(const ConversionState& state, PixelSurface& preview)
{
    Settings settings = settingsOf(state);
    settings.mode = kTeletextModeNumber;
    return painted(settings, convertTeletextPicture(planesLinear(state)), preview);
}

Conversion finishConversion(Screen screen, PixelSurface& preview)
{
    Settings settings;
    settings.mode = screen.modeNumber;
    return painted(settings, std::move(screen), preview);
}

Conversion convertWithSettings(const Settings& settings, ConversionState& state, const LinearImage& source,
                               PixelSurface& preview, const ProgressReport& progress, std::stop_token stop)
{
    applySettings(settings, state);
    Screen screen = convertedScreen(settings, planesCanvas(state), source, progress, std::move(stop));
    return painted(settings, std::move(screen), preview);
}

Result<std::vector<DiscImage>> slideshowDiscs(std::span<const Slide> slides, int tracks, int delaySeconds)
{
    const Result<DiscSet> set = makeDiscSet(slides, DiscSettings{tracks, delaySeconds, false, DiscKind::Single});
    if (!set)
        return set.failure();
    std::vector<DiscImage> discs;
    for (const std::vector<std::uint8_t>& file : set.value().files)
        discs.push_back({"SLIDES " + std::to_string(discs.size() + 1), file, {}});
    for (const PlacedPicture& picture : set.value().pictures)
        discs[picture.file].pictures.emplace_back(picture.name, picture.dfsName);
    return discs;
}
