#include "hostile_pictures.h"

#include "colour_profiles.h"
#include "handmade_pictures.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QPainter>

#include <array>
#include <random>

namespace {

// ---- writing inputs ----------------------------------------------------

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

std::function<void(const QString&)> bytes(std::function<QByteArray()> build)
{
    return [build](const QString& path) { writeBytes(path, build()); };
}

QByteArray randomBytes(int count, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out.append(char(random() & 0xFF));
    return out;
}

// ---- pictures with known content ---------------------------------------

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kWhite = qRgb(255, 255, 255);

// Four quadrants: red top left, green top right, blue bottom left, white
// bottom right. Any turn or mirror moves them somewhere recognisable.
QImage quadrants(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, QColor(kRed));
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, QColor(kGreen));
    painter.fillRect(0, height / 2, width / 2, height - height / 2, QColor(kBlue));
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, QColor(kWhite));
    painter.end();
    return image.convertToFormat(format);
}

QImage filled(int width, int height, QRgb colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image.convertToFormat(format);
}

// Every pixel a colour of its own: a photo's worth of detail for a JPEG.
QImage noise(int width, int height)
{
    std::mt19937 random(5);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, random() & 0xFFFFFF);
    return image;
}

// A picture split in two halves along its long side.
QImage halves(int width, int height, QRgb first, QRgb second)
{
    QImage image = filled(width, height, first);
    QPainter painter(&image);
    if (width >= height)
        painter.fillRect(width / 2, 0, width - width / 2, height, QColor(second));
    else
        painter.fillRect(0, height / 2, width, height - height / 2, QColor(second));
    return image;
}

// ---- checking the canvas ------------------------------------------------

QString describe(QRgb c)
{
    return QStringLiteral("(%1, %2, %3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

QString expectNear(const QImage& canvas, int x, int y, QRgb expected, int tolerance)
{
    const QRgb got = canvas.pixel(x, y);
    if (qAbs(qRed(got) - qRed(expected)) > tolerance || qAbs(qGreen(got) - qGreen(expected)) > tolerance ||
        qAbs(qBlue(got) - qBlue(expected)) > tolerance)
        return QStringLiteral("pixel (%1, %2) is %3, expected %4").arg(x).arg(y).arg(describe(got), describe(expected));
    return QString();
}

// Centres of the four canvas quadrants, away from the blurred borders.
constexpr std::array<std::array<int, 2>, 4> kQuadrantCentres{{{80, 64}, {240, 64}, {80, 192}, {240, 192}}};

std::function<QString(const QImage&)> showsQuadrants(std::array<QRgb, 4> expected, int tolerance)
{
    return [expected, tolerance](const QImage& canvas) {
        for (std::size_t i = 0; i < 4; ++i)
            if (QString wrong = expectNear(canvas, kQuadrantCentres[i][0], kQuadrantCentres[i][1],
                                           expected[i], tolerance);
                !wrong.isEmpty())
                return wrong;
        return QString();
    };
}

std::function<QString(const QImage&)> showsEverywhere(QRgb expected, int tolerance)
{
    return [expected, tolerance](const QImage& canvas) {
        for (int y = 0; y < canvas.height(); y += 15)
            for (int x = 0; x < canvas.width(); x += 17)
                if (QString wrong = expectNear(canvas, x, y, expected, tolerance); !wrong.isEmpty())
                    return wrong;
        return expectNear(canvas, 319, 255, expected, tolerance);
    };
}

// Where the stored top-left, top-right, bottom-left and bottom-right
// quadrants are seen after each EXIF orientation (1..8).
std::array<QRgb, 4> afterOrientation(int orientation)
{
    switch (orientation) {
    case 2: return {kGreen, kRed, kWhite, kBlue};   // mirrored left to right
    case 3: return {kWhite, kBlue, kGreen, kRed};   // turned half round
    case 4: return {kBlue, kWhite, kRed, kGreen};   // mirrored top to bottom
    case 5: return {kRed, kBlue, kGreen, kWhite};   // mirrored along the main diagonal
    case 6: return {kBlue, kRed, kWhite, kGreen};   // turned a quarter clockwise
    case 7: return {kWhite, kGreen, kBlue, kRed};   // mirrored along the other diagonal
    case 8: return {kGreen, kWhite, kRed, kBlue};   // turned a quarter anticlockwise
    default: return {kRed, kGreen, kBlue, kWhite};
    }
}

QByteArray cutTo(const QByteArray& bytes, double fraction)
{
    return bytes.left(qsizetype(double(bytes.size()) * fraction));
}

const std::array<QRgb, 4> kQuadrants{kRed, kGreen, kBlue, kWhite};

// ---- the catalogue -------------------------------------------------------

std::vector<PictureCase> refusedInputs()
{
    return {
        {"zero_byte_file", "empty.png", Outcome::Refused, "not a picture", bytes([] { return QByteArray(); }), {}},
        {"text_named_png", "notes.png", Outcome::Refused, "not a picture",
         bytes([] { return QByteArray("These are my notes, not a picture.\n"); }), {}},
        {"random_bytes", "noise.jpg", Outcome::Refused, "", bytes([] { return randomBytes(4096, 7); }), {}},
        {"random_bytes_no_suffix", "noise", Outcome::Refused, "", bytes([] { return randomBytes(65536, 11); }), {}},
        {"folder", "pictures.png", Outcome::Refused, "folder", [](const QString& path) { QDir().mkpath(path); }, {}},
        {"missing_path", "missing.png", Outcome::Refused, "does not exist", [](const QString&) {}, {}},
        {"truncated_png", "cut.png", Outcome::Refused, "cannot be decoded",
         bytes([] { return cutTo(encoded(quadrants(320, 256), "PNG"), 0.5); }), {}},
        {"png_header_only", "header.png", Outcome::Refused, "",
         bytes([] { return encoded(quadrants(32, 32), "PNG").left(33); }), {}},
        {"png_claims_100000_square", "huge.png", Outcome::Refused, "more than Rasterine opens",
         bytes([] { return withPngSize(encoded(quadrants(32, 32), "PNG"), 100000, 100000); }), {}},
        {"png_bomb_30000_square", "bomb.png", Outcome::Refused, "more than Rasterine opens",
         bytes([] { return blackPng(30000, 30000); }), {}},
        {"gif_screen_65535_square", "screen.gif", Outcome::Refused, "",
         bytes([] { return gifFile({1, 1}, {kRed}, {{0}}, {65535, 65535}); }), {}},
        {"gif_header_only", "header.gif", Outcome::Refused, "",
         bytes([] { return gifFile({4, 4}, {kRed}, {std::vector<std::uint8_t>(16, 0)}).left(13); }), {}},
        {"svg_canvas_100000_square", "huge.svg", Outcome::Refused, "more than Rasterine opens",
         bytes([] {
             return QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='100000' height='100000'>"
                               "<rect width='100000' height='100000' fill='red'/></svg>");
         }),
         {}},
        {"bmp_claims_16000_square", "huge.bmp", Outcome::Refused, "more than Rasterine opens",
         bytes([] {
             QByteArray bmp = encoded(quadrants(8, 8, QImage::Format_Indexed8), "BMP");
             const QByteArray side("\x80\x3E\x00\x00", 4);  // 16000, little-endian
             bmp.replace(18, 4, side);
             bmp.replace(22, 4, side);
             return bmp;
         }),
         {}},
        // Stored top down, its size is hidden from the reader's header check.
        {"bmp_top_down_claims_16_by_16777204", "tall.bmp", Outcome::Refused, "more than Rasterine opens",
         bytes([] {
             QByteArray bmp = encoded(quadrants(16, 12, QImage::Format_Indexed8), "BMP");
             bmp.replace(22, 4, QByteArray("\x0C\x00\x00\xFF", 4));  // height -16777204
             return bmp;
         }),
         {}},
        {"png_bad_data_crc", "crc.png", Outcome::Refused, "",
         bytes([] {
             QByteArray png = encoded(quadrants(64, 64), "PNG");
             const qsizetype data = png.indexOf("IDAT") + 8;
             png[data] = char(png[data] ^ 0x55);
             return png;
         }),
         {}},
        {"gif_zero_by_zero", "empty.gif", Outcome::Refused, "",
         bytes([] { return gifFile({0, 0}, {kRed}, {{}}); }), {}},
        {"jpeg_header_only", "header.jpg", Outcome::Refused, "",
         bytes([] { return encoded(quadrants(64, 64), "JPEG", 90).left(200); }), {}},
    };
}

// A picture its decoder had to patch up is refused, with the decoder's words
// or the loader's, rather than converted over the user's earlier screen.
std::vector<PictureCase> damagedInputs()
{
    return {
        // libjpeg fills what is missing with grey and says so.
        {"truncated_jpeg", "cut.jpg", Outcome::Refused, "the picture is damaged: ",
         bytes([] { return cutTo(encoded(halves(320, 256, kRed, kRed), "JPEG", 90), 0.4); }), {}},
        // A noisy photo's first 5,000 bytes: all but a strip of it grey.
        {"jpeg_photo_cut_after_5000_bytes", "photo.jpg", Outcome::Refused, "the picture is damaged: ",
         bytes([] { return encoded(noise(800, 600), "JPEG", 90).left(5000); }), {}},
        {"jpeg_with_corrupt_data", "corrupt.jpg", Outcome::Refused, "the picture is damaged: Corrupt JPEG data",
         bytes([] {
             QByteArray jpeg = encoded(quadrants(320, 256), "JPEG", 90);
             const qsizetype middle = jpeg.size() / 2;
             for (qsizetype i = middle; i < middle + 64; ++i)
                 jpeg[i] = char(0xFF);
             jpeg[middle + 64] = char(0xD0);  // a restart marker where none is due
             return jpeg;
         }),
         {}},
        {"truncated_gif", "cut.gif", Outcome::Refused, "the picture is damaged: the file ends before",
         bytes([] {
             return cutTo(gifFile({64, 64}, {kRed}, {std::vector<std::uint8_t>(64 * 64, 0)}), 0.5);
         }),
         {}},
        {"truncated_bmp", "cut.bmp", Outcome::Refused, "the picture is damaged: the file ends before",
         bytes([] { return cutTo(encoded(filled(64, 64, kGreen), "BMP"), 0.5); }), {}},
        // The original OS/2 header: 16-bit sizes. Four of its eight rows
        // (stored bottom up, 24 bytes each) are there.
        {"bmp_os2_cut_short", "os2.bmp", Outcome::Refused, "the picture is damaged: the file ends before",
         bytes([] {
             QByteArray bmp("BM\x00\x00\x00\x00\x00\x00\x00\x00\x1A\x00\x00\x00"
                            "\x0C\x00\x00\x00\x08\x00\x08\x00\x01\x00\x18\x00", 26);
             for (int i = 0; i < 4 * 8; ++i)
                 bmp.append(QByteArray("\x00\xFF\x00", 3));  // blue, green, red: green
             return bmp;
         }),
         {}},
    };
}

std::vector<PictureCase> oddShapes()
{
    return {
        {"one_pixel", "dot.png", Outcome::Converts, "", bytes([] { return encoded(filled(1, 1, kRed), "PNG"); }),
         showsEverywhere(kRed, 0)},
        {"one_by_20000", "tall.png", Outcome::Converts, "",
         bytes([] { return encoded(halves(1, 20000, kRed, kBlue), "PNG"); }),
         showsQuadrants({kRed, kRed, kBlue, kBlue}, 0)},
        {"20000_by_one", "wide.png", Outcome::Converts, "",
         bytes([] { return encoded(halves(20000, 1, kGreen, kBlue), "PNG"); }),
         showsQuadrants({kGreen, kBlue, kGreen, kBlue}, 0)},
        // Stretching it once took seconds: it is shrunk along its width first.
        {"1000000_by_12", "ribbon.png", Outcome::Converts, "",
         bytes([] { return blackPng(1000000, 12); }), showsEverywhere(qRgb(0, 0, 0), 0)},
        {"large_black_png", "large.png", Outcome::Converts, "",
         bytes([] { return blackPng(6000, 5000); }), showsEverywhere(qRgb(0, 0, 0), 0)},
    };
}

std::vector<PictureCase> pngVariants()
{
    return {
        {"png_16_bit", "deep.png", Outcome::Converts, "",
         bytes([] {
             QImage deep(64, 64, QImage::Format_RGBA64);
             deep.fill(QColor::fromRgba64(0xFFFF, 0x8080, 0x0000));
             return encoded(deep, "PNG");
         }),
         showsEverywhere(qRgb(255, 128, 0), 1)},
        {"png_greyscale", "grey.png", Outcome::Converts, "",
         bytes([] { return encoded(filled(64, 64, qRgb(77, 77, 77), QImage::Format_Grayscale8), "PNG"); }),
         showsEverywhere(qRgb(77, 77, 77), 0)},
        {"png_palette", "palette.png", Outcome::Converts, "",
         bytes([] { return encoded(quadrants(64, 64, QImage::Format_Indexed8), "PNG"); }),
         showsQuadrants(kQuadrants, 0)},
        {"png_alpha", "alpha.png", Outcome::Converts, "",
         bytes([] {
             QImage clear = filled(64, 64, kRed, QImage::Format_ARGB32);
             QPainter painter(&clear);
             painter.setCompositionMode(QPainter::CompositionMode_Source);
             painter.fillRect(32, 0, 32, 64, Qt::transparent);
             painter.end();
             return encoded(clear, "PNG");
         }),
         showsQuadrants({kRed, kWhite, kRed, kWhite}, 0)},  // transparent shows white
        {"png_interlaced", "interlaced.png", Outcome::Converts, "",
         bytes([] { return interlacedPng(quadrants(64, 48)); }), showsQuadrants(kQuadrants, 0)},
        // libpng warns about the profile and decodes the picture all the same.
        {"png_known_incorrect_srgb_profile", "profiled.png", Outcome::Converts, "",
         bytes([] { return withKnownIncorrectSrgbProfile(encoded(quadrants(64, 64), "PNG")); }),
         showsQuadrants(kQuadrants, 0)},
        {"png_named_jpg", "really-a-png.jpg", Outcome::Converts, "",
         bytes([] { return encoded(quadrants(64, 64), "PNG"); }), showsQuadrants(kQuadrants, 0)},
    };
}

std::vector<PictureCase> jpegVariants()
{
    std::vector<PictureCase> cases{
        {"jpeg_cmyk", "cmyk.jpg", Outcome::Converts, "", bytes([] { return cmykJpeg(255, 0, 0, 255); }),
         showsEverywhere(kRed, 2)},
        {"jpeg_progressive", "progressive.jpg", Outcome::Converts, "",
         bytes([] { return encoded(quadrants(320, 256), "JPEG", 95, true); }), showsQuadrants(kQuadrants, 12)},
        {"jpeg_exif_orientation_9_is_ignored", "nine.jpg", Outcome::Converts, "",
         bytes([] { return withExifOrientation(encoded(quadrants(320, 256), "JPEG", 95), 9); }),
         showsQuadrants(kQuadrants, 12)},
    };
    for (int orientation = 1; orientation <= 8; ++orientation)
        cases.push_back({"jpeg_exif_orientation_" + std::to_string(orientation),
                         QStringLiteral("turned-%1.jpg").arg(orientation), Outcome::Converts, "",
                         bytes([orientation] {
                             return withExifOrientation(encoded(quadrants(96, 64), "JPEG", 95), orientation);
                         }),
                         showsQuadrants(afterOrientation(orientation), 12)});
    return cases;
}

std::vector<PictureCase> otherFormats()
{
    const QList<QRgb> palette{kRed, kBlue};
    return {
        {"gif_animated_first_frame", "animated.gif", Outcome::Converts, "",
         bytes([palette] {
             return gifFile({32, 32}, palette,
                            {std::vector<std::uint8_t>(32 * 32, 0), std::vector<std::uint8_t>(32 * 32, 1)});
         }),
         showsEverywhere(kRed, 0)},
        {"gif_still", "still.gif", Outcome::Converts, "",
         bytes([palette] {
             std::vector<std::uint8_t> frame(32 * 32, 0);
             std::fill(frame.begin() + 32 * 16, frame.end(), 1);  // bottom half blue
             return gifFile({32, 32}, palette, {frame});
         }),
         showsQuadrants({kRed, kRed, kBlue, kBlue}, 0)},
        {"bmp", "picture.bmp", Outcome::Converts, "", bytes([] { return encoded(quadrants(64, 48), "BMP"); }),
         showsQuadrants(kQuadrants, 0)},
        {"bmp_8_bit", "indexed.bmp", Outcome::Converts, "",
         bytes([] { return encoded(quadrants(64, 48, QImage::Format_Indexed8), "BMP"); }),
         showsQuadrants(kQuadrants, 0)},
        // Rows are stored bottom up: four rows of red, then "end of bitmap".
        // The rows the runs never reach are colour 0.
        {"bmp_rle_ends_early", "runs.bmp", Outcome::Converts, "",
         bytes([] {
             const QByteArray redRow("\x08\x01\x00\x00", 4);  // 8 x colour 1, end of line
             return rle8Bmp(8, 8, {kBlue, kRed}, redRow + redRow + redRow + redRow + QByteArray("\x00\x01", 2));
         }),
         showsQuadrants({kBlue, kBlue, kRed, kRed}, 0)},
        {"ppm", "picture.ppm", Outcome::Converts, "", bytes([] { return encoded(quadrants(64, 48), "PPM"); }),
         showsQuadrants(kQuadrants, 0)},
        {"pgm", "grey.pgm", Outcome::Converts, "",
         bytes([] { return encoded(filled(64, 48, qRgb(90, 90, 90)), "PGM"); }),
         showsEverywhere(qRgb(90, 90, 90), 0)},
        {"tiff", "picture.tif", Outcome::Converts, "", bytes([] { return encoded(quadrants(64, 48), "TIFF"); }),
         showsQuadrants(kQuadrants, 0)},
        {"webp", "picture.webp", Outcome::Converts, "",
         bytes([] { return encoded(quadrants(64, 48), "WEBP", 100); }), showsQuadrants(kQuadrants, 4)},
        {"ico", "picture.ico", Outcome::Converts, "", bytes([] { return encoded(quadrants(64, 48), "ICO"); }),
         showsQuadrants(kQuadrants, 0)},
        {"tga", "picture.tga", Outcome::Converts, "", bytes([] { return tgaFile(quadrants(64, 48)); }),
         showsQuadrants(kQuadrants, 0)},
        {"svg", "shapes.svg", Outcome::Converts, "",
         bytes([] {
             return QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='64' height='48'>"
                               "<rect width='32' height='48' fill='#f00'/>"
                               "<rect x='32' width='32' height='48' fill='#00f'/></svg>");
         }),
         showsQuadrants({kRed, kBlue, kRed, kBlue}, 0)},
    };
}

}  // namespace

std::vector<PictureCase> hostilePictureCases()
{
    std::vector<PictureCase> all;
    for (auto group : {refusedInputs(), damagedInputs(), oddShapes(), pngVariants(), jpegVariants(),
                       otherFormats()})
        for (auto& picture : group)
            all.push_back(std::move(picture));
    return all;
}
