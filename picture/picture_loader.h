#pragma once

#include <QIODevice>
#include "platform/failure.h"

#include <QImage>
#include <QString>

// How much of a large JPEG's detail to decode: enough for the 320 x 256
// canvas (as the classic conversion has always had it), or enough for a
// 640 x 512 display (the linear-light methods), at a little more cost.
// ScreenAndDisplay reads the file once for both: the canvas exactly as
// Screen makes it and the source as Display does, from one decode. Only a
// large JPEG that the decoder reduces more for the canvas than for the
// display needs a decode of its own for the source; it is then decoded for
// the canvas alone, and its bytes are handed back to decode the source from
// when it is wanted (LoadedPicture::encoded).
enum class PictureDetail { Screen, Display, ScreenAndDisplay };

// The largest `source` kept; larger pictures are reduced to fit inside it.
inline constexpr QSize kMaxSourceSize(1280, 1024);

// A picture read from disk and stretched to the 320 x 256 canvas.
struct LoadedPicture {
    QImage image;     // 320 x 256, Format_RGB32
    // With PictureDetail::Display or ScreenAndDisplay (null otherwise): the decoded picture,
    // oriented, over white, at its own shape and at most kMaxSourceSize;
    // what the linear-light methods sample from.
    QImage source;
    // With ScreenAndDisplay, when `source` needs a decode of its own (and is
    // null): the file's bytes as read, from which loadPicture(QIODevice&,
    // PictureDetail::Display) gives the source.
    QByteArray encoded;
};

// Why a picture could not be loaded, for the user: the Failure's subject is
// the path as given (empty for a device), its reason words such as "the file
// does not exist", "it is not a picture Rasterine can read" or "the picture
// is damaged: Premature end of JPEG file".
QString failureReason(const Failure& failure);

// The one way pictures enter Rasterine, for the window and the command line
// alike, so the same file gives the same 320 x 256 pixels everywhere.
//
// The format is decided by content, not by file name. The photo's EXIF
// orientation is honoured. Large JPEGs are decoded directly at a reduced size
// (never below 320 x 256, or 640 x 512 for PictureDetail::Display), which is quick and small in memory. The picture is
// then stretched to 320 x 256 without keeping the aspect ratio, area-averaging
// when it shrinks, and transparent pixels are laid over white. Pictures beyond
// a generous pixel count are refused rather than decoded, and so is a picture
// its decoder had to patch up (cut short, or with corrupt data).
Result<LoadedPicture> loadPicture(const QString& path, PictureDetail detail = PictureDetail::Screen);

// The same, for a picture already open for reading (a file's bytes held in
// memory, as the fuzzing harness feeds them).
Result<LoadedPicture> loadPicture(QIODevice& device, PictureDetail detail = PictureDetail::Screen);

// Source pictures larger than this many pixels are refused.
inline constexpr qint64 kMaxSourcePixels = 1'000'000'000;
// Pictures that would have to be decoded at more than this many pixels are refused.
inline constexpr qint64 kMaxDecodedPixels = 150'000'000;
