#pragma once

#include "conversion/conversion_state.h"
#include "conversion/linear_image.h"
#include "platform/failure.h"

#include <QString>

#include <memory>

// The larger source, in linear light, of the picture the planes were last
// sampled from: what conversions that frame, adjust or use a linear-light
// method read. It is loaded again from the picture's file with
// PictureDetail::Display the first time a conversion needs it, as the
// command line loads it, and kept until another picture is sampled.
class SampledSource {
public:
    // Another picture was sampled: the one in `path` (empty for none).
    void resetTo(const QString& path);

    // The source; before any picture, the planes of `state` themselves.
    // Fails when the file can no longer be read.
    Result<std::shared_ptr<const LinearImage>> get(const ConversionState& state);

private:
    QString path_;
    std::shared_ptr<const LinearImage> source_;
};
