#include "toolkit/picture_truncation.h"

#include <QColor>
#include <QPainter>

#include <cstring>

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

// A GIF ends with the trailer byte 0x3B after its last frame.
Truncation gifTruncation(QIODevice* device)
{
    const QByteArray last = bytesAt(device, device->size() - 1, 1);
    return Truncation{last.size() == 1 && last[0] != char(0x3B), 0, 0};
}

// An uncompressed BMP (Windows info header, BI_RGB or BI_BITFIELDS) holds
// |height| rows of ((width * bits + 31) / 32) * 4 bytes from its data offset.
// Qt reads whole rows from the bottom of the picture up (from the top down
// when the height is negative) and stops at the first short one.
Truncation bmpTruncation(QIODevice* device)
{
    const QByteArray header = bytesAt(device, 0, 34);
    if (header.size() < 34 || littleEndian(header, 14, 4) < 40)
        return {};
    const qint64 dataOffset = littleEndian(header, 10, 4);
    const qint64 width = littleEndian(header, 18, 4);
    const qint64 height = littleEndian(header, 22, 4);
    const qint64 bits = littleEndian(header, 28, 2);
    const qint64 compression = littleEndian(header, 30, 4);
    if ((compression != 0 && compression != 3) || width <= 0 || height == 0 || bits <= 0)
        return {};
    const qint64 rows = height < 0 ? -height : height;
    const qint64 stride = ((width * bits + 31) / 32) * 4;
    const qint64 available = device->size() - dataOffset;
    const qint64 complete = available <= 0 ? 0 : available / stride;
    if (complete >= rows)
        return {};
    const int missing = int(rows - complete);
    return Truncation{true, height > 0 ? 0 : int(complete), missing};
}

}  // namespace

Truncation findTruncation(QIODevice* device, const QByteArray& format)
{
    if (!device || device->isSequential() || device->size() < 1)
        return {};
    if (format == "gif")
        return gifTruncation(device);
    if (format == "bmp")
        return bmpTruncation(device);
    return {};
}

QImage blankTargetFor(QIODevice* device, const QByteArray& format)
{
    if (format != "bmp" || !device || device->isSequential())
        return QImage();
    const QByteArray header = bytesAt(device, 0, 34);
    if (header.size() < 34 || littleEndian(header, 14, 4) < 40)
        return QImage();
    const qint64 width = littleEndian(header, 18, 4);
    const qint64 height = littleEndian(header, 22, 4);
    const qint64 compression = littleEndian(header, 30, 4);
    const bool runLength = compression == 1 || compression == 2;  // RLE8, RLE4: 8-bit indices
    if (!runLength || width <= 0 || height <= 0 || width * height > 16384 * 16384)
        return QImage();
    QImage target(int(width), int(height), QImage::Format_Indexed8);
    target.fill(0);
    return target;
}

QImage withMissingRowsGrey(const QImage& decoded, const Truncation& truncation)
{
    if (truncation.missingRows <= 0)
        return decoded;
    QImage patched = decoded;
    const int first = qBound(0, truncation.firstMissingRow, patched.height());
    const int end = qBound(0, truncation.firstMissingRow + truncation.missingRows, patched.height());
    // Clear the raw rows first so that no unwritten byte is ever read, not
    // even by the conversion below.
    for (int y = first; y < end; ++y)
        std::memset(patched.scanLine(y), 0, size_t(patched.bytesPerLine()));
    patched = patched.convertToFormat(patched.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QPainter painter(&patched);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(0, first, patched.width(), end - first, QColor(128, 128, 128));
    return patched;
}
