#include "picture/picture_truncation.h"

#include <QColor>

#include <algorithm>
#include <climits>

namespace {

// Reads `count` bytes at `offset` without disturbing the device's position.
QByteArray bytesAt(QIODevice* device, qint64 offset, qint64 count)
{
    const qint64 position = device->pos();
    QByteArray bytes;
    if (device->seek(offset))
        bytes = device->read(count);
    device->seek(position);
    return bytes;
}

qint64 littleEndian(const QByteArray& bytes, int offset, int width)
{
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[offset + i]);
    return width == 4 ? qint64(qint32(quint32(value))) : qint64(value);
}

bool seekable(QIODevice* device)
{
    return device && !device->isSequential() && device->size() > 0;
}

// The fields of a BMP's file and info header that decide its layout.
struct BmpHeader {
    qint64 dataOffset = 0;
    qint64 width = 0;
    qint64 height = 0;  // negative when rows are stored top down
    qint64 bits = 0;
    qint64 compression = 0;  // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields
    quint32 alphaMask = 0;

    bool valid() const { return width > 0 && height != 0 && bits > 0; }
    qint64 rows() const { return height < 0 ? -height : height; }
};

// Qt reads a 40-, 64-, 108- or 124-byte info header as Windows lays it out
// (32-bit sizes; from 108 bytes on with colour masks, alpha at offset 66),
// and any other as the original OS/2 header: 16-bit signed sizes, no
// compression.
BmpHeader readBmpHeader(QIODevice* device)
{
    const QByteArray header = bytesAt(device, 0, 70);
    if (header.size() < 26)
        return {};
    const qint64 infoSize = littleEndian(header, 14, 4);
    const bool windows = infoSize == 40 || infoSize == 64 || infoSize == 108 || infoSize == 124;
    if (!windows)
        return BmpHeader{littleEndian(header, 10, 4), qint16(littleEndian(header, 18, 2)),
                         qint16(littleEndian(header, 20, 2)), littleEndian(header, 24, 2), 0, 0};
    if (header.size() < 34)
        return {};
    BmpHeader bmp{littleEndian(header, 10, 4), littleEndian(header, 18, 4), littleEndian(header, 22, 4),
                  littleEndian(header, 28, 2), littleEndian(header, 30, 4), 0};
    if (infoSize >= 108 && header.size() >= 70)
        bmp.alphaMask = quint32(littleEndian(header, 66, 4));
    return bmp;
}

// Qt decodes 1-bit BMPs as Mono, 4- and 8-bit ones as Indexed8, and the rest
// as RGB32, or ARGB32 when bit fields or a 32-bit plain picture carry an
// alpha mask.
QImage::Format decodedFormat(const BmpHeader& bmp)
{
    if (bmp.bits == 1)
        return QImage::Format_Mono;
    if (bmp.bits <= 8)
        return QImage::Format_Indexed8;
    const bool transparent =
        (bmp.compression == 3 || (bmp.compression == 0 && bmp.bits == 32 && bmp.alphaMask == 0xFF000000u)) &&
        bmp.alphaMask != 0;
    return transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

// A GIF ends with the trailer byte 0x3B after its last frame.
bool gifEndsEarly(QIODevice* device)
{
    const QByteArray last = bytesAt(device, device->size() - 1, 1);
    return last.size() == 1 && last[0] != char(0x3B);
}

// A plain BMP holds |height| rows of ((width * bits + 31) / 32) * 4 bytes
// from its data offset.
bool bmpEndsEarly(QIODevice* device)
{
    const BmpHeader bmp = readBmpHeader(device);
    if (!bmp.valid() || (bmp.compression != 0 && bmp.compression != 3))
        return false;
    const qint64 stride = ((bmp.width * bmp.bits + 31) / 32) * 4;
    return device->size() - bmp.dataOffset < stride * bmp.rows();
}

}  // namespace

bool endsEarly(QIODevice* device, const QByteArray& format)
{
    if (!seekable(device))
        return false;
    if (format == "gif")
        return gifEndsEarly(device);
    if (format == "bmp")
        return bmpEndsEarly(device);
    return false;
}

QImage blankTargetFor(QIODevice* device, const QByteArray& format)
{
    if (format != "bmp" || !seekable(device))
        return QImage();
    const BmpHeader bmp = readBmpHeader(device);
    if (!bmp.valid() || bmp.width * bmp.rows() > 16384 * 16384)  // Qt's own BMP limit
        return QImage();
    const QImage::Format decodedAs = decodedFormat(bmp);
    QImage target(int(bmp.width), int(bmp.rows()), decodedAs);
    if (target.depth() == 32)
        target.fill(QColor(128, 128, 128));
    else
        target.fill(0);
    return target;
}

QSize bmpHeaderSize(QIODevice* device, const QByteArray& format)
{
    if (format != "bmp" || !seekable(device))
        return QSize();
    const BmpHeader bmp = readBmpHeader(device);
    if (!bmp.valid())
        return QSize();
    return QSize(int(std::min<qint64>(bmp.width, INT_MAX)), int(std::min<qint64>(bmp.rows(), INT_MAX)));
}
