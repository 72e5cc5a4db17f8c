#pragma once

#include "conversion/linear_image.h"
#include "platform/failure.h"

#include <QImage>
#include <QString>

#include <memory>

// A picture file decoded once, with everything the window converts from it:
// the 320 x 256 canvas the classic conversion samples (as the command line
// decodes it for that) and the larger source the conversions that frame,
// adjust or use a linear-light method read (as the command line decodes it
// for those). Nothing is read from the file again, so every conversion of one
// opened picture sees the same pixels, even if the file changes or goes.
class DecodedPicture {
public:
    static Result<DecodedPicture> open(const QString& path);

    const QString& path() const { return path_; }
    const QImage& canvas() const { return canvas_; }  // 320 x 256, Format_RGB32
    // The damage the picture was decoded with, if any (see LoadedPicture).
    const QString& warning() const { return warning_; }
    // The larger source in linear light, made from the decoded pixels the
    // first time it is asked for and then kept.
    std::shared_ptr<const LinearImage> linearSource() const;

private:
    QString path_;
    QImage canvas_;
    QImage detailed_;
    QString warning_;
    mutable std::shared_ptr<const LinearImage> linear_;
};
