#pragma once

#include "conversion/conversion.h"
#include "conversion/linear_image.h"
#include "conversion/methods/progress_report.h"
#include "conversion/settings.h"
#include "platform/failure.h"
#include "platform/pixel_surface.h"

#include <memory>
#include <stop_token>

// A picture as a front end hands it to the engine, decoded once.
struct SourcePicture {
    // The picture stretched to 320 x 256 as the window's canvas draws it:
    // what the classic pass samples its planes from, and what the preview
    // starts as.
    BufferSurface canvas;
    // The picture in linear light at its own shape, ideally larger than the
    // screen: what framing, adjustments and the linear-light methods read.
    // May be empty when readsDetail() is false for the settings used.
    std::shared_ptr<const LinearImage> detail;
};

// Whether a conversion with `settings` reads the source's detail (a method
// other than classic, a fit other than stretch or adjustments that are not
// neutral); when it does not, the canvas is all it reads.
bool readsDetail(const Settings& settings);

// The one conversion the window and the command line call. Settings with a
// problem (settingsProblem) fail with it; a conversion whose `stop` is
// requested before it ends gives Failure::stopped(). `progress` hears how far a slow
// method has got; it is called on the converting thread. The same settings
// and source always give the same bytes and preview.
Result<Conversion> convert(const Settings& settings, const SourcePicture& source,
                           const ProgressReport& progress = {}, std::stop_token stop = {});

// Whether `failure` is the outcome of a stopped conversion.
inline bool wasStopped(const Failure& failure)
{
    return failure.wasStopped();
}
