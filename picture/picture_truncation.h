#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>

// Damage Qt's GIF and BMP decoders pass over in silence.
//
// A GIF cut short shows what arrived over its background, with no error.
// Qt's BMP decoder stops at the first row it cannot read, and its run-length
// decoder skips pixels on a delta jump or an early end of line or bitmap;
// either way the pixels it never wrote would hold whatever memory held
// before, and the same file could give different pictures from one run to
// the next.

// True when the file behind `device` (which must allow seeking), decoded by
// Qt as `format` ("gif", "bmp"), ends before its picture does. Other formats
// are never reported here.
bool endsEarly(QIODevice* device, const QByteArray& format);

// For a BMP, an image of the size and format Qt's decoder will produce,
// filled with what unwritten pixels should show: mid-grey for true colour
// (as libjpeg shows what is missing from a JPEG), colour 0 for indexed
// pictures (what a run-length BMP's skipped pixels mean). Qt writes into an
// image it is handed when size and format match, so nothing unwritten is
// ever left uninitialised. A null image for any other picture.
QImage blankTargetFor(QIODevice* device, const QByteArray& format);

// The size a BMP's header gives, also for one whose rows are stored top
// down (Qt's reader reports no size for those); an invalid size for any
// other picture.
// Read so that a header claiming too many pixels is refused before an image
// of that size is allocated, here or by the decoder.
QSize bmpHeaderSize(QIODevice* device, const QByteArray& format);
