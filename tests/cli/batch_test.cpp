// Batches into a folder: parallel conversion, a bad picture among good ones,
// --verbose and the progress line.
#include "converter_process.h"
#include "picture_corpus/colour_profiles.h"
#include "picture_corpus/handmade_pictures.h"
#include "test_support.h"
#include "window_path.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

std::string readText(const std::filesystem::path& file)
{
    const auto bytes = readBytes(file);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

QImage withTransparentHole(QImage image)
{
    image = image.convertToFormat(QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(50, 40, 120, 90, Qt::transparent);
    return image;
}

}  // namespace

TEST(Batch, ConvertsEveryGoodPictureAndReportsTheBadOne)
{
    ScratchFolder folder;
    std::filesystem::create_directory(folder.path() / "out");
    const std::vector<QString> good{
        savePicture(testPicture(2000, 1500, 2), folder.path(), "photo.jpg", "jpeg"),
        savePicture(testPicture(300, 200, 3), folder.path(), "scan.tiff", "tiff"),
        savePicture(testPicture(500, 400, 4), folder.path(), "web.image.webp", "webp"),
        savePicture(withTransparentHole(testPicture()), folder.path(), "logo.png", "png"),
    };
    writeText(folder.path() / "broken.jpg", "this is not a JPEG");

    const ConverterRun run = runConverter(
        folder.path(), {"-d", "out", "--previews", "-m", "1", "-t", "fine", "-j", "3", "photo.jpg",
                        "broken.jpg", "scan.tiff", "web.image.webp", "logo.png"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    const auto errors = lines(run.err);
    ASSERT_EQ(errors.size(), 1u) << run.err;
    EXPECT_EQ(errors[0].rfind("rasterine-convert: broken.jpg: ", 0), 0u) << errors[0];

    ScratchFolder reference;
    for (const QString& picture : good) {
        const std::string stem = std::filesystem::path(picture.toStdString()).stem().string();
        SCOPED_TRACE(stem);
        const QImage preview = convertAsTheWindowDoes(picture, 1, Halftone::Fine, false,
                                                      reference.file(stem + ".screen"));
        const auto out = folder.path() / "out";
        EXPECT_EQ(readBytes(out / (stem + ".screen")), readBytes(reference.file(stem + ".screen")));
        EXPECT_EQ(readBytes(out / (stem + ".screen.inf")), readBytes(reference.file(stem + ".screen.inf")));
        EXPECT_TRUE(QImage(QString::fromStdString((out / (stem + ".png")).string()))
                        .convertToFormat(QImage::Format_RGB32) == preview);
    }
    EXPECT_EQ(std::ranges::count_if(std::filesystem::directory_iterator(folder.path() / "out"),
                                    [](const auto&) { return true; }),
              12);
}

// libpng's remark about a colour profile, and what it writes straight to
// standard error as it gives up on a PNG cut short, never reach standard
// error, from any of the batch's threads, even with --verbose: only the cut
// picture's failure is reported, with its name.
TEST(Batch, DecodersSayNothingOfTheirOwn)
{
    ScratchFolder folder;
    std::filesystem::create_directory(folder.path() / "out");
    const QByteArray png = encoded(testPicture(), "PNG");
    const QByteArray profiled = withKnownIncorrectSrgbProfile(png);
    QStringList arguments{"-d", "out", "--verbose", "-j", "3"};
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"}) {
        writeText(folder.path() / name, profiled.toStdString());
        arguments << name;
    }
    writeText(folder.path() / "cut.png", png.left(png.size() / 2).toStdString());
    arguments << "cut.png";

    const ConverterRun run = runConverter(folder.path(), arguments);
    EXPECT_EQ(run.exitCode, 1);
    const auto errors = lines(run.err);
    ASSERT_EQ(errors.size(), 1u) << run.err;
    EXPECT_EQ(errors[0].rfind("rasterine-convert: cut.png: the picture cannot be decoded", 0), 0u) << errors[0];
    EXPECT_NE(run.out.find("d.screen.inf"), std::string::npos) << run.out;
}

TEST(Batch, VerboseNamesEveryFileWritten)
{
    ScratchFolder folder;
    savePicture(testPicture(), folder.path(), "a.png", "png");
    savePicture(testPicture(), folder.path(), "b.bmp", "bmp");
    std::filesystem::create_directory(folder.path() / "out");
    const ConverterRun run = runConverter(folder.path(), {"--verbose", "-d", "out", "--previews", "a.png", "b.bmp"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    auto written = lines(run.out);
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"out/a.png", "out/a.screen", "out/a.screen.inf",
                                                 "out/b.png", "out/b.screen", "out/b.screen.inf"}));
}

// Each screen of a batch carries its own BBC name, and a batch converted
// again without VideoNuLA colours or --compress removes the earlier .nula
// and .zx02 pairs, naming them.
TEST(Batch, EachScreenIsNamedForItselfAndStaleFilesAreRemoved)
{
    ScratchFolder folder;
    savePicture(testPicture(), folder.path(), "Aqua.png", "png");
    savePicture(testPicture(), folder.path(), "Waves.png", "png");
    std::filesystem::create_directory(folder.path() / "out");
    const ConverterRun first = runConverter(
        folder.path(), {"--dither", "bayer", "--nula", "--compress", "-d", "out", "Aqua.png", "Waves.png"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(lines(readText(folder.path() / "out/Aqua.screen.inf")), std::vector<std::string>{"$.AQUA     003000 000000 005000"});
    EXPECT_EQ(lines(readText(folder.path() / "out/Waves.screen.inf")), std::vector<std::string>{"$.WAVES    003000 000000 005000"});
    EXPECT_EQ(readText(folder.path() / "out/Waves.screen.nula.inf"), "N.WAVES    000900 000000 000020\n");
    EXPECT_EQ(readText(folder.path() / "out/Waves.screen.zx02.inf").substr(0, 11), "Z.WAVES    ");

    const ConverterRun again = runConverter(folder.path(), {"--verbose", "-d", "out", "Aqua.png", "Waves.png"});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    auto said = lines(again.out);
    std::sort(said.begin(), said.end());
    std::vector<std::string> expected;
    for (const std::string stem : {"Aqua", "Waves"}) {
        expected.insert(expected.end(), {"out/" + stem + ".screen", "out/" + stem + ".screen.inf"});
        for (const char* stale : {".screen.nula", ".screen.nula.inf", ".screen.zx02", ".screen.zx02.inf"})
            expected.push_back("removed out/" + stem + stale);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(said, expected);
    EXPECT_EQ(std::ranges::distance(std::filesystem::directory_iterator(folder.path() / "out")), 4);
}

TEST(Batch, ShowsProgressOnlyForLongBatchesOnATerminal)
{
    ScratchFolder folder;
    QStringList pictures;
    for (int i = 1; i <= 12; ++i) {
        const std::string name = std::string("p").append(std::to_string(i)).append(".png");
        savePicture(testPicture(64, 48, i), folder.path(), name, "png");
        pictures << QString::fromStdString(name);
    }
    const QStringList arguments = QStringList{"-d", "."} + pictures;

    RunConditions terminal;
    terminal.stderrOnTerminal = true;
    const ConverterRun onTerminal = runConverter(folder.path(), arguments, terminal);
    EXPECT_EQ(onTerminal.exitCode, 0);
    EXPECT_NE(onTerminal.err.find("[1/12] p"), std::string::npos) << onTerminal.err;
    EXPECT_NE(onTerminal.err.find("[12/12] p"), std::string::npos) << onTerminal.err;
    // The progress line is wiped at the end, leaving the terminal clean.
    EXPECT_TRUE(onTerminal.err.ends_with("\r\x1b[K")) << onTerminal.err;

    EXPECT_EQ(runConverter(folder.path(), arguments).err, "");
    const QStringList shortBatch{"-d", ".", "p1.png", "p2.png"};
    EXPECT_EQ(runConverter(folder.path(), shortBatch, terminal).err, "");
}

TEST(Batch, DirectBinarySearchShowsItsProgressOnATerminal)
{
    ScratchFolder folder;
    const QString picture = savePicture(testPicture(), folder.path(), "p.png", "png");
    const QStringList arguments{"-m", "5", "--dither", "dbs", picture};
    RunConditions terminal;
    terminal.stderrOnTerminal = true;
    const ConverterRun onTerminal = runConverter(folder.path(), arguments, terminal);
    EXPECT_EQ(onTerminal.exitCode, 0);
    EXPECT_NE(onTerminal.err.find("converting: 2%"), std::string::npos) << onTerminal.err;
    EXPECT_NE(onTerminal.err.find("converting: 25%"), std::string::npos) << onTerminal.err;
    EXPECT_TRUE(onTerminal.err.ends_with("\r\x1b[K")) << onTerminal.err;
    EXPECT_EQ(runConverter(folder.path(), arguments).err, "");
}

// With --raster, a picture where one palette serves best says so on standard
// output, one line a picture; where colours cannot change by line, --raster
// is refused in the catalogue's words.
TEST(Batch, RasterSaysWhenOnePaletteWasKeptAndIsRefusedWhereItCannotApply)
{
    ScratchFolder folder;
    QImage flat(64, 48, QImage::Format_RGB32);
    flat.fill(qRgb(120, 120, 120));
    savePicture(flat, folder.path(), "flat.png", "png");
    const ConverterRun kept = runConverter(folder.path(), {"-m", "1", "--dither", "floyd-steinberg", "--raster",
                                                            "-o", "flat.screen", "flat.png"});
    EXPECT_EQ(kept.exitCode, 0) << kept.err;
    EXPECT_EQ(kept.out, "flat.png: one palette for the whole screen looks better than colours by line, so it was kept\n");

    const ConverterRun refused =
        runConverter(folder.path(), {"-m", "2", "--dither", "floyd-steinberg", "--raster", "flat.png"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err.rfind("rasterine-convert: --raster: mode 2 shows all eight standard colours already", 0), 0u)
        << refused.err;
    const ConverterRun nula =
        runConverter(folder.path(), {"-m", "0", "--dither", "floyd-steinberg", "--nula", "--raster", "flat.png"});
    EXPECT_EQ(nula.exitCode, 0) << nula.err;
}
