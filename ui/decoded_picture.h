#pragma once

#include "conversion/linear_image.h"
#include "platform/failure.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>

// A picture file read once, with everything the window converts from it:
// the 320 x 256 canvas the classic conversion samples (as the command line
// decodes it for that) and the larger source the conversions that frame,
// adjust or use a linear-light method read (as the command line decodes it
// for those), which the View window shows too. Both come from one decode,
// except for a large JPEG whose source takes a finer decode of its own:
// that one is made from the bytes read at opening, the first time it is
// needed, and then kept, so opening costs no more than the canvas. The file
// is never read again: every conversion and view of one opened picture sees
// the same pixels, even if the file changes or goes.
class DecodedPicture {
public:
    static Result<DecodedPicture> open(const QString& path);

    const QString& path() const { return path_; }
    const QImage& canvas() const { return canvas_; }  // 320 x 256, Format_RGB32
    // The larger source at the picture's own shape. Fails only when the
    // finer decode fails (a picture too large to decode at that size).
    Result<QImage> source() const;
    // The same in linear light, made the first time it is asked for and then
    // kept.
    Result<std::shared_ptr<const LinearImage>> linearSource() const;

private:
    QString path_;
    QImage canvas_;
    mutable QImage detailed_;  // null until decoded when it needs a decode of its own
    QByteArray encoded_;  // what it is then decoded from
    mutable std::shared_ptr<const LinearImage> linear_;
};
