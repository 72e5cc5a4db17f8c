#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>

#include <cstdint>
#include <vector>

// Picture files built byte by byte, for the formats and oddities Qt cannot
// write itself: GIF (Qt has no GIF writer), TGA, interlaced PNG, CMYK JPEG,
// and headers that lie about the picture's size.

// A GIF89a of `frames`, each a row-major list of indices into `palette`
// (at most 256 colours) covering `frameSize`. `screenSize` is the logical
// screen the header announces; by default the frame's size. More than one
// frame makes an animation.
QByteArray gifFile(QSize frameSize, const QList<QRgb>& palette,
                   const std::vector<std::vector<std::uint8_t>>& frames, QSize screenSize = {});

// An uncompressed true-colour TGA 2.0, top row first.
QByteArray tgaFile(const QImage& image);

// An 8-bit run-length encoded (RLE8) BMP of width x height over `palette`,
// whose pixel data is exactly `runs` (escape codes included).
QByteArray rle8Bmp(int width, int height, const QList<QRgb>& palette, const QByteArray& runs);

// One PNG chunk: length, type, data and CRC.
QByteArray pngChunk(const char* type, const QByteArray& data);

// An 8-bit RGB PNG stored with Adam7 interlacing.
QByteArray interlacedPng(const QImage& image);

// A 1-bit greyscale PNG of width x height black pixels. Its all-zero rows
// compress about a thousandfold, so tens of thousands of pixels square fit in
// a small file: a decompression bomb.
QByteArray blackPng(int width, int height);

// `png` with its IHDR claiming width x height (CRC recomputed); the pixel data
// is left as it was.
QByteArray withPngSize(QByteArray png, quint32 width, quint32 height);

// An 8 x 8 baseline JPEG of one flat CMYK colour, stored the way Adobe
// applications write CMYK (an APP14 "Adobe" marker, inverted components: 255
// means no ink). Qt shows stored (c, m, y, k) as RGB (k*c/255, k*m/255, k*y/255).
QByteArray cmykJpeg(int c, int m, int y, int k);

// `jpeg` with an EXIF APP1 segment giving `orientation` (1..8) right after SOI.
QByteArray withExifOrientation(QByteArray jpeg, int orientation);

// `image` written by Qt in `format` ("PNG", "JPEG", ...), with `quality` and,
// for JPEG, progressive scans when asked.
QByteArray encoded(const QImage& image, const char* format, int quality = -1,
                   bool progressive = false);
