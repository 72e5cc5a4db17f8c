#include "picture/picture_loader.h"

#include "conversion/classic/conversion_state.h"
#include "picture/decoder_messages.h"
#include "picture/picture_truncation.h"

#include <QColor>
#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <string_view>

using namespace std::string_view_literals;

namespace {

const QSize kCanvas(kPictureWidth, kPictureHeight);

// Formats whose files have no signature to recognise them by.
const QStringList kUnsignedFormats{QStringLiteral("tga"), QStringLiteral("wbmp")};

Result<LoadedPicture> failure(const QString& reason)
{
    return Failure{std::string(), reason.toStdString()};
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
int reductionFor(QSize oriented, PictureDetail detail)
{
    const int least = detail == PictureDetail::Screen ? 1 : 2;
    for (int factor : {8, 4, 2})
        if (oriented.width() / factor >= least * kPictureWidth && oriented.height() / factor >= least * kPictureHeight)
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
void chooseFormat(QImageReader& reader, const QByteArray& head)
{
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
QString planDecode(QImageReader& reader, PictureDetail detail)
{
    const QSize stored = reader.size().isValid() ? reader.size() : bmpHeaderSize(reader.device(), reader.format());
    if (!stored.isValid())
        return QString();  // size unknown until decoded; the allocation limit guards it
    const qint64 pixels = qint64(stored.width()) * stored.height();
    if (pixels > kMaxSourcePixels)
        return QStringLiteral("the picture is %1, more than Rasterine opens").arg(sizeText(stored));

    qint64 decoded = pixels;
    // Only libjpeg decodes fewer pixels when asked for a smaller picture;
    // other decoders (PNG, SVG) that offer a scaled size build the whole
    // picture first, so their full size is what counts.
    if (reader.format() == "jpeg" && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const int factor = reductionFor(orientedSize(reader), detail);
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

// Qt's smooth scaling costs about source width x target height when it
// shrinks one side and enlarges the other, which for a picture millions of
// pixels wide and a few high is seconds. Shrinking the long side first, on
// its own, keeps the cost to one pass over the source.
QImage smoothStretch(const QImage& source)
{
    const bool shrinksWidth = source.width() > kCanvas.width();
    const bool shrinksHeight = source.height() > kCanvas.height();
    if (shrinksWidth != shrinksHeight) {
        const QSize firstStep(shrinksWidth ? kCanvas.width() : source.width(),
                              shrinksHeight ? kCanvas.height() : source.height());
        return source.scaled(firstStep, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .scaled(kCanvas, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return source.scaled(kCanvas, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The decoded picture, flattened over white and reduced to fit kMaxSourceSize.
QImage sourceOf(const QImage& decoded)
{
    QImage flat = decoded.hasAlphaChannel()
                      ? overWhite(decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied))
                      : decoded.convertToFormat(QImage::Format_RGB32);
    if (flat.width() > kMaxSourceSize.width() || flat.height() > kMaxSourceSize.height())
        flat = flat.scaled(kMaxSourceSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return flat;
}

QImage stretchToCanvas(const QImage& decoded)
{
    const bool transparent = decoded.hasAlphaChannel();
    const QImage source = decoded.convertToFormat(
        transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    // Qt's smooth scaling averages every source pixel a target pixel covers
    // when shrinking, so fine patterns become their mean, not aliasing noise.
    QImage stretched = source.size() == kCanvas ? source : smoothStretch(source);
    if (transparent)
        stretched = overWhite(stretched);
    return stretched.convertToFormat(QImage::Format_RGB32);
}

// Why a picture that Qt recognised could not be decoded, in the decoder's
// own words where it gave some.
QString decodeFailure(const QImageReader& reader, const QStringList& messages)
{
    for (const QString& message : messages)
        if (message.contains(QLatin1String("allocation limit")))
            return QStringLiteral("the picture is too large to decode");
    const QString reason = messages.isEmpty() ? reader.errorString() : messages.constFirst();
    return QStringLiteral("the picture cannot be decoded (%1)").arg(reason);
}

// With ScreenAndDisplay, whether the source needs a decode of its own: only
// for a JPEG that the decoder reduces more for the canvas than for the
// display. Asked before the picture is read, while its format is known.
bool sourceDecodedApart(const QImageReader& reader, PictureDetail detail)
{
    return detail == PictureDetail::ScreenAndDisplay && reader.format() == "jpeg" &&
           reader.supportsOption(QImageIOHandler::ScaledSize) &&
           reductionFor(orientedSize(reader), PictureDetail::Screen) !=
               reductionFor(orientedSize(reader), PictureDetail::Display);
}

// What is wrong with a picture the decoder returned, in its words where it
// gave some, or an empty string when nothing is.
QString damageIn(QIODevice* device, const QByteArray& format, const DecoderMessages& messages)
{
    if (endsEarly(device, format))
        return QStringLiteral("the file ends before the picture does");
    return messages.damage().isEmpty() ? QString() : messages.damage().constFirst();
}

// The whole file behind `device`, as the decoder read it.
QByteArray allBytes(QIODevice* device)
{
    return device->seek(0) ? device->readAll() : QByteArray();
}

// Decodes what the reader points at and stretches it to the canvas. A
// picture the decoder had to patch up (libjpeg's grey for what a cut-short
// JPEG lacks, Qt's background for a GIF's missing rows) is refused with the
// decoder's first complaint: converting it would replace the user's earlier
// screen with a picture that is partly made up.
Result<LoadedPicture> decode(QImageReader& reader, const QByteArray& head, bool byContent, PictureDetail detail)
{
    if (byContent)
        chooseFormat(reader, head);
    else
        reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(int(kMaxDecodedPixels * 4 / (1024 * 1024)));
    const DecoderMessages messages;
    if (!reader.canRead())
        return failure(reader.error() == QImageReader::FileNotFoundError
                           ? QStringLiteral("the file cannot be read")
                           : QStringLiteral("it is not a picture Rasterine can read"));
    const bool apart = sourceDecodedApart(reader, detail);
    if (const QString refusal = planDecode(reader, apart ? PictureDetail::Screen : detail); !refusal.isEmpty())
        return failure(refusal);

    const QByteArray format = reader.format();  // known only until the picture is read
    QImage decoded = blankTargetFor(reader.device(), format);
    if (!reader.read(&decoded) || decoded.isNull() || decoded.width() < 1 || decoded.height() < 1)
        return failure(decodeFailure(reader, messages.messages()));
    // A header that hides the size (a BMP stored top down, for one) leaves
    // only Qt's allocation limit, which counts bytes: a 1-byte-per-pixel
    // picture under it would still need four times as much once in colour.
    if (qint64(decoded.width()) * decoded.height() > kMaxDecodedPixels)
        return failure(QStringLiteral("the picture is %1, more than Rasterine opens").arg(sizeText(decoded.size())));
    if (const QString damage = damageIn(reader.device(), format, messages); !damage.isEmpty())
        return failure(QStringLiteral("the picture is damaged: %1").arg(damage));
    // The pixels are taken as they are stored, whatever colour profile the
    // file names, so the picture carries none: a profiled file and the same
    // pixels without a profile give the same canvas, down to its metadata.
    decoded.setColorSpace(QColorSpace());
    const bool withSource = detail != PictureDetail::Screen && !apart;
    return LoadedPicture{stretchToCanvas(decoded), withSource ? sourceOf(decoded) : QImage(),
                         apart ? allBytes(reader.device()) : QByteArray()};
}

}  // namespace

QString failureReason(const Failure& failure)
{
    return QString::fromStdString(failure.reason);
}

Result<LoadedPicture> loadPicture(const QString& path, PictureDetail detail)
{
    const auto named = [&path](Result<LoadedPicture> picture) {
        if (!picture)
            return Result<LoadedPicture>(Failure{path.toStdString(), picture.failure().reason});
        return picture;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return named(failure(QStringLiteral("the file does not exist")));
    if (info.isDir())
        return named(failure(QStringLiteral("it is a folder, not a picture")));

    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(16) : QByteArray();
    file.close();
    QImageReader reader(path);
    Result<LoadedPicture> picture = decode(reader, head, true, detail);
    if (picture.ok() || !kUnsignedFormats.contains(info.suffix().toLower()))
        return named(std::move(picture));
    // A TGA carries no signature and starts like a Windows cursor, so the
    // cursor decoder claims it and then drops it. Its suffix is the only hint.
    QImageReader bySuffix(path);
    Result<LoadedPicture> second = decode(bySuffix, head, false, detail);
    return named(second.ok() ? std::move(second) : std::move(picture));
}

Result<LoadedPicture> loadPicture(QIODevice& device, PictureDetail detail)
{
    const QByteArray head = device.peek(16);
    QImageReader reader(&device);
    return decode(reader, head, true, detail);
}
