#include "tests/engine_steps.h"
#include "quality_teletext.h"

#include "conversion/entry/picture_conversion.h"
#include "conversion/teletext/edge_flips.h"
#include "conversion/teletext/teletext_conversion.h"
#include "conversion/teletext_renderer.h"
#include "picture/picture_sampling.h"
#include "plain_teletext.h"

#include <chrono>
#include <memory>

namespace {

std::unique_ptr<ConversionState> sampledState(const QualityPicture& picture)
{
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    samplePicture(picture.canvas, *state);
    return state;
}

TeletextMeasures measure(const QualityPicture& picture, const TeletextScreen& screen, double seconds,
                         const std::vector<float>& sigmas)
{
    const LinearImage area = areaAverage(picture.source, kTeletextWidth, kTeletextHeight);
    const LinearImage shown = teletextLinear(screen);
    TeletextMeasures measures{{}, 0, seconds, leftEdgeFlips(screen)};
    for (std::size_t i = 0; i < sigmas.size(); ++i) {
        const ScoreReference reference(area, sigmas[i]);
        measures.distance.push_back(reference.distance(shown));
        if (i == 1)
            measures.ssim = reference.lightnessSsim(shown);
    }
    return measures;
}

}  // namespace

TeletextMeasures measureTeletext(const QualityPicture& picture, const std::vector<float>& sigmas)
{
    auto state = sampledState(picture);
    BufferSurface preview(kPictureWidth, kPictureHeight);
    Settings settings;
    settings.mode = 7;
    const auto start = std::chrono::steady_clock::now();
    const Conversion conversion = convertWithSettings(settings, *state, picture.source, preview);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return measure(picture, teletextScreen(conversion.screen), took.count(), sigmas);
}

TeletextMeasures measurePlainTeletext(const QualityPicture& picture, const std::vector<float>& sigmas)
{
    const auto state = sampledState(picture);
    const auto start = std::chrono::steady_clock::now();
    const TeletextScreen screen = plainTeletext(planesLinear(*state));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return measure(picture, screen, took.count(), sigmas);
}
