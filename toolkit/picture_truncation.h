#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>

// Qt's GIF and BMP decoders accept a file cut short without a word: the GIF
// shows what arrived over its background, and the BMP decoder leaves the rows
// it never read holding whatever memory held before, so the same file could
// give different pixels from one run to the next. These checks find such
// files from their own structure.
struct Truncation {
    bool truncated = false;
    // Rows of the decoded picture the decoder never wrote (BMP only).
    int firstMissingRow = 0;
    int missingRows = 0;
};

// Looks at the whole file behind `device` (which must allow seeking) as the
// `format` Qt decoded it as ("gif", "bmp"); other formats are never reported.
Truncation findTruncation(QIODevice* device, const QByteArray& format);

// Qt's decoder of run-length encoded BMPs leaves the pixels that the runs
// skip (delta jumps, a line or the bitmap ended early) unwritten. Given an
// image of the size and format it decodes to, it writes into that image
// instead of a fresh one; this returns such an image filled with colour 0,
// which is what those pixels mean, or a null image for any other picture.
QImage blankTargetFor(QIODevice* device, const QByteArray& format);

// The decoded picture with the rows the decoder never wrote painted mid-grey,
// as libjpeg paints what is missing from a cut-short JPEG.
QImage withMissingRowsGrey(const QImage& decoded, const Truncation& truncation);
