#include "toolkit/picture_loader.h"

#include "conversion/conversion_state.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <string_view>

using namespace std::string_view_literals;

namespace {

const QSize kCanvas(kPictureWidth, kPictureHeight);

LoadedPicture failure(const QString& reason)
{
    return LoadedPicture{QImage(), reason, QString()};
}

// The picture's size as it will be shown, after its EXIF rotation.
QSize orientedSize(const QImageReader& reader)
{
    QSize size = reader.size();
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return size;
}

// Largest reduction (1/8, 1/4, 1/2) that still leaves at least 320 x 256
// pixels to average down from. JPEG decoders reduce in these steps for free by
// averaging whole 8 x 8 blocks.
int reductionFor(QSize oriented)
{
    for (int factor : {8, 4, 2})
        if (oriented.width() / factor >= kPictureWidth && oriented.height() / factor >= kPictureHeight)
            return factor;
    return 1;
}

// Formats told apart by their first bytes ('?' matches any byte). Naming the
// format lets Qt load just the plugin that reads it; a file that matches none
// is offered to every image plugin in turn, which costs more start-up time
// than decoding a large photo at reduced size.
struct Signature {
    std::string_view pattern;
    const char* format;
};
constexpr Signature kSignatures[] = {
    {"\xFF\xD8\xFF"sv, "jpeg"},
    {"\x89PNG\r\n\x1A\n"sv, "png"},
    {"GIF87a"sv, "gif"},
    {"GIF89a"sv, "gif"},
    {"RIFF????WEBP"sv, "webp"},
    {"II*\0"sv, "tiff"},
    {"MM\0*"sv, "tiff"},
    {"BM"sv, "bmp"},
};

bool matches(const QByteArray& head, std::string_view pattern)
{
    if (head.size() < qsizetype(pattern.size()))
        return false;
    for (std::size_t i = 0; i < pattern.size(); ++i)
        if (pattern[i] != '?' && head[qsizetype(i)] != pattern[i])
            return false;
    return true;
}

// Tells the reader the format when the file's first bytes give it away, and
// otherwise lets it decide from the content; the file name never decides.
void chooseFormat(QImageReader& reader, const QString& path)
{
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(16) : QByteArray();
    for (const Signature& signature : kSignatures)
        if (matches(head, signature.pattern)) {
            reader.setFormat(signature.format);
            reader.setAutoDetectImageFormat(false);
            return;
        }
    reader.setDecideFormatFromContent(true);
}

QString sizeText(QSize size)
{
    return QStringLiteral("%1 × %2 pixels").arg(size.width()).arg(size.height());
}

// Checks the size the header claims and, where the format allows, asks for
// a reduced decode. Returns a reason to refuse the picture, or nothing.
QString planDecode(QImageReader& reader)
{
    const QSize stored = reader.size();
    if (!stored.isValid())
        return QString();  // size unknown until decoded; the allocation limit guards it
    const qint64 pixels = qint64(stored.width()) * stored.height();
    if (pixels > kMaxSourcePixels)
        return QStringLiteral("the picture is %1, more than Rasterine opens").arg(sizeText(stored));

    qint64 decoded = pixels;
    if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const int factor = reductionFor(orientedSize(reader));
        if (factor > 1) {
            // Rounded down: Qt picks the decoder's reduction from the ratio of
            // stored to requested size, and a size rounded up would make that
            // ratio fall just short of the factor and halve the reduction.
            const QSize reduced(stored.width() / factor, stored.height() / factor);
            reader.setScaledSize(reduced);
            decoded = qint64(reduced.width()) * reduced.height();
        }
    }
    if (decoded > kMaxDecodedPixels)
        return QStringLiteral("the picture is %1, more than Rasterine opens").arg(sizeText(stored));
    return QString();
}

// Lays premultiplied pixels over white and drops the alpha channel.
QImage overWhite(const QImage& premultiplied)
{
    QImage flat(premultiplied.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, premultiplied);
    return flat;
}

QImage stretchToCanvas(const QImage& decoded)
{
    const bool transparent = decoded.hasAlphaChannel();
    const QImage source = decoded.convertToFormat(
        transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    // Qt's smooth scaling averages every source pixel a target pixel covers
    // when shrinking, so fine patterns become their mean, not aliasing noise.
    QImage stretched = source.size() == kCanvas
                           ? source
                           : source.scaled(kCanvas, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (transparent)
        stretched = overWhite(stretched);
    return stretched.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

LoadedPicture loadPicture(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failure(QStringLiteral("the file does not exist"));
    if (info.isDir())
        return failure(QStringLiteral("it is a folder, not a picture"));

    QImageReader reader(path);
    chooseFormat(reader, path);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(int(kMaxDecodedPixels * 4 / (1024 * 1024)));
    if (!reader.canRead())
        return failure(reader.error() == QImageReader::FileNotFoundError
                           ? QStringLiteral("the file cannot be read")
                           : QStringLiteral("it is not a picture Rasterine can read"));
    if (const QString refusal = planDecode(reader); !refusal.isEmpty())
        return failure(refusal);

    const QImage decoded = reader.read();
    if (decoded.isNull() || decoded.width() < 1 || decoded.height() < 1)
        return failure(QStringLiteral("the picture cannot be decoded (%1)").arg(reader.errorString()));
    return LoadedPicture{stretchToCanvas(decoded), QString(), QString()};
}
