#include "handmade_pictures.h"

#include <QBuffer>
#include <QImageWriter>

#include <zlib.h>

#include <array>

namespace {

void put16le(QByteArray& out, unsigned v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void put16be(QByteArray& out, unsigned v)
{
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
}

void put32be(QByteArray& out, quint32 v)
{
    put16be(out, v >> 16);
    put16be(out, v & 0xFFFF);
}

// Writes variable-width codes least significant bit first, as GIF's LZW does.
class LsbBitWriter {
public:
    void put(unsigned code, int width)
    {
        for (int i = 0; i < width; ++i) {
            current_ |= ((code >> i) & 1u) << filled_;
            if (++filled_ == 8)
                flush();
        }
    }
    QByteArray finish()
    {
        if (filled_)
            flush();
        return bytes_;
    }

private:
    void flush()
    {
        bytes_.append(char(current_));
        current_ = 0;
        filled_ = 0;
    }
    QByteArray bytes_;
    unsigned current_ = 0;
    int filled_ = 0;
};

// LZW data that any GIF decoder reads, without compressing: every index is
// sent as a literal 9-bit code, and a clear code comes often enough that the
// decoder's table never grows past 9-bit codes.
QByteArray gifLzw(const std::vector<std::uint8_t>& indices)
{
    constexpr unsigned kClear = 256, kEnd = 257;
    LsbBitWriter bits;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % 128 == 0)
            bits.put(kClear, 9);
        bits.put(indices[i], 9);
    }
    bits.put(kEnd, 9);
    return bits.finish();
}

void appendSubBlocks(QByteArray& out, const QByteArray& data)
{
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append('\0');
}

quint32 crcOf(const QByteArray& bytes)
{
    return quint32(crc32(0, reinterpret_cast<const Bytef*>(bytes.constData()), uInt(bytes.size())));
}

QByteArray ihdr(quint32 width, quint32 height, int depth, int colourType, int interlace)
{
    QByteArray data;
    put32be(data, width);
    put32be(data, height);
    data.append(char(depth));
    data.append(char(colourType));
    data.append('\0');  // deflate
    data.append('\0');  // adaptive filtering
    data.append(char(interlace));
    return pngChunk("IHDR", data);
}

const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);

QByteArray zlibCompressed(const QByteArray& raw)
{
    uLongf size = compressBound(uLong(raw.size()));
    QByteArray out(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(raw.constData()), uLong(raw.size()), 9);
    out.truncate(qsizetype(size));
    return out;
}

// Huffman-codes one JPEG block whose only coefficient is the DC difference
// `diff`, with the tables cmykJpeg defines: DC category c has the 4-bit code
// c, and the AC table's only code, "0", is end-of-block.
class MsbBitWriter {
public:
    void put(unsigned code, int width)
    {
        for (int i = width - 1; i >= 0; --i) {
            current_ = (current_ << 1) | ((code >> i) & 1u);
            if (++filled_ == 8)
                flush();
        }
    }
    QByteArray finish()
    {
        while (filled_)
            put(1, 1);  // pad with ones
        return bytes_;
    }

private:
    void flush()
    {
        bytes_.append(char(current_));
        if (current_ == 0xFF)
            bytes_.append('\0');  // byte stuffing
        current_ = 0;
        filled_ = 0;
    }
    QByteArray bytes_;
    unsigned current_ = 0;
    int filled_ = 0;
};

void putDcOnlyBlock(MsbBitWriter& bits, int diff)
{
    int category = 0;
    for (int magnitude = diff < 0 ? -diff : diff; magnitude; magnitude >>= 1)
        ++category;
    bits.put(unsigned(category), 4);
    if (category)
        bits.put(unsigned(diff >= 0 ? diff : diff + (1 << category) - 1), category);
    bits.put(0, 1);  // end of block
}

void putSegment(QByteArray& out, unsigned marker, const QByteArray& payload)
{
    put16be(out, marker);
    put16be(out, unsigned(payload.size() + 2));
    out.append(payload);
}

}  // namespace

QByteArray gifFile(QSize frameSize, const QList<QRgb>& palette,
                   const std::vector<std::vector<std::uint8_t>>& frames, QSize screenSize)
{
    if (!screenSize.isValid())
        screenSize = frameSize;
    QByteArray out("GIF89a");
    put16le(out, unsigned(screenSize.width()));
    put16le(out, unsigned(screenSize.height()));
    out.append(char(0xF7));  // global colour table of 256 entries
    out.append('\0');        // background colour index
    out.append('\0');        // square pixels
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        out.append(char(qRed(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qBlue(colour)));
    }
    if (frames.size() > 1)
        out.append(QByteArray("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19));  // loop forever
    for (const auto& frame : frames) {
        out.append(QByteArray("\x21\xF9\x04\x04\x0A\x00\x00\x00", 8));  // keep frame, 0.1 s
        out.append(char(0x2C));
        put16le(out, 0);
        put16le(out, 0);
        put16le(out, unsigned(frameSize.width()));
        put16le(out, unsigned(frameSize.height()));
        out.append('\0');  // no local colour table, not interlaced
        out.append(char(8));  // LZW minimum code size
        appendSubBlocks(out, gifLzw(frame));
    }
    out.append(char(0x3B));
    return out;
}

QByteArray tgaFile(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QByteArray out(12, '\0');
    out[2] = 2;  // uncompressed true colour
    put16le(out, unsigned(rgb.width()));
    put16le(out, unsigned(rgb.height()));
    out.append(char(24));
    out.append(char(0x20));  // first row is the top one
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            out.append(char(qBlue(p)));
            out.append(char(qGreen(p)));
            out.append(char(qRed(p)));
        }
    // TGA 2.0 footer: no extension or developer area. Qt reads only TGA 2.0.
    out.append(QByteArray(8, '\0'));
    out.append(QByteArray("TRUEVISION-XFILE.\0", 18));
    return out;
}

QByteArray rle8Bmp(int width, int height, const QList<QRgb>& palette, const QByteArray& runs)
{
    auto put32le = [](QByteArray& out, quint32 v) {
        put16le(out, v & 0xFFFF);
        put16le(out, v >> 16);
    };
    const quint32 dataOffset = 14 + 40 + 4 * 256;
    QByteArray out("BM");
    put32le(out, dataOffset + quint32(runs.size()));
    put32le(out, 0);
    put32le(out, dataOffset);
    put32le(out, 40);  // Windows info header
    put32le(out, quint32(width));
    put32le(out, quint32(height));
    put16le(out, 1);  // planes
    put16le(out, 8);  // bits per pixel
    put32le(out, 1);  // BI_RLE8
    put32le(out, quint32(runs.size()));
    put32le(out, 2835);
    put32le(out, 2835);
    put32le(out, 256);
    put32le(out, 0);
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        out.append(char(qBlue(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qRed(colour)));
        out.append('\0');
    }
    out.append(runs);
    return out;
}

QByteArray pngChunk(const char* type, const QByteArray& data)
{
    QByteArray out;
    put32be(out, quint32(data.size()));
    const QByteArray body = QByteArray(type, 4) + data;
    out.append(body);
    put32be(out, crcOf(body));
    return out;
}

QByteArray interlacedPng(const QImage& image)
{
    struct Pass { int x0, y0, dx, dy; };
    constexpr std::array<Pass, 7> kAdam7{{
        {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QByteArray raw;
    for (const Pass& pass : kAdam7)
        for (int y = pass.y0; y < rgb.height(); y += pass.dy) {
            if (pass.x0 >= rgb.width())
                break;
            raw.append('\0');  // filter: none
            for (int x = pass.x0; x < rgb.width(); x += pass.dx) {
                const QRgb p = rgb.pixel(x, y);
                raw.append(char(qRed(p)));
                raw.append(char(qGreen(p)));
                raw.append(char(qBlue(p)));
            }
        }
    return kPngSignature + ihdr(quint32(rgb.width()), quint32(rgb.height()), 8, 2, 1) +
           pngChunk("IDAT", zlibCompressed(raw)) + pngChunk("IEND", {});
}

QByteArray blackPng(int width, int height)
{
    const QByteArray row(1 + (width + 7) / 8, '\0');  // filter byte and packed bits
    z_stream stream{};
    deflateInit(&stream, 9);
    QByteArray compressed;
    std::array<char, 65536> chunk{};
    auto drain = [&](int flush) {
        do {
            stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
            stream.avail_out = uInt(chunk.size());
            deflate(&stream, flush);
            compressed.append(chunk.data(), qsizetype(chunk.size() - stream.avail_out));
        } while (stream.avail_out == 0);
    };
    for (int y = 0; y < height; ++y) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.constData()));
        stream.avail_in = uInt(row.size());
        drain(Z_NO_FLUSH);
    }
    drain(Z_FINISH);
    deflateEnd(&stream);
    return kPngSignature + ihdr(quint32(width), quint32(height), 1, 0, 0) +
           pngChunk("IDAT", compressed) + pngChunk("IEND", {});
}

QByteArray withPngSize(QByteArray png, quint32 width, quint32 height)
{
    // Signature (8), IHDR length (4), "IHDR" (4), then width and height.
    QByteArray size;
    put32be(size, width);
    put32be(size, height);
    png.replace(16, 8, size);
    QByteArray crc;
    put32be(crc, crcOf(png.mid(12, 17)));
    png.replace(29, 4, crc);
    return png;
}

QByteArray cmykJpeg(int c, int m, int y, int k)
{
    QByteArray out("\xFF\xD8", 2);
    putSegment(out, 0xFFEE, QByteArray("Adobe\x00\x64\x00\x00\x00\x00\x00", 12));
    putSegment(out, 0xFFDB, QByteArray(1, '\0') + QByteArray(64, '\1'));  // all quantisers 1
    QByteArray frame("\x08\x00\x08\x00\x08\x04", 6);  // 8 bits, 8 x 8, 4 components
    for (char id = 1; id <= 4; ++id)
        frame.append(QByteArray() + id + '\x11' + '\0');
    putSegment(out, 0xFFC0, frame);
    QByteArray dc(1, '\x00');  // DC table 0: twelve 4-bit codes for categories 0..11
    QByteArray dcCounts(16, '\0');
    dcCounts[3] = 12;
    dc.append(dcCounts);
    for (char category = 0; category < 12; ++category)
        dc.append(category);
    putSegment(out, 0xFFC4, dc);
    QByteArray ac(1, '\x10');  // AC table 0: one 1-bit code, end of block
    QByteArray acCounts(16, '\0');
    acCounts[0] = 1;
    ac.append(acCounts);
    ac.append('\0');
    putSegment(out, 0xFFC4, ac);
    QByteArray scan("\x04", 1);
    for (char id = 1; id <= 4; ++id)
        scan.append(QByteArray() + id + '\0');
    scan.append(QByteArray("\x00\x3F\x00", 3));
    putSegment(out, 0xFFDA, scan);
    MsbBitWriter bits;
    for (int value : {c, m, y, k})
        putDcOnlyBlock(bits, 8 * (value - 128));  // a flat block's DC coefficient
    out.append(bits.finish());
    out.append("\xFF\xD9", 2);
    return out;
}

QByteArray withExifOrientation(QByteArray jpeg, int orientation)
{
    // Big-endian TIFF header with one IFD entry: Orientation (0x0112), SHORT, 1 value.
    const unsigned char exif[] = {
        0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,
        'M', 'M', 0x00, 0x2A, 0x00, 0x00, 0x00, 0x08,
        0x00, 0x01,
        0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01,
        0x00, static_cast<unsigned char>(orientation), 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00,
    };
    jpeg.insert(2, reinterpret_cast<const char*>(exif), sizeof exif);
    return jpeg;
}

QByteArray encoded(const QImage& image, const char* format, int quality, bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}
