// Runs every hostile and odd input through the picture path and, where a
// picture comes out, through the conversion and the writing of the files.
// CTest runs each case as its own process under a time limit, so a hang or a
// crash fails that case alone.
#include "picture_corpus/hostile_pictures.h"
#include "test_support.h"

#include "../fuzz/screen_invariants.h"
#include "conversion/classic/conversion_pass.h"
#include "conversion/classic/halftone.h"
#include "picture/picture_loader.h"
#include "picture/picture_sampling.h"
#include "picture/qimage_surface.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>

namespace {

class HostilePicture : public ::testing::TestWithParam<PictureCase> {};

std::string text(const QString& s)
{
    return s.toStdString();
}

// Converts the picture as the window does after opening it, writes the files,
// and checks the screen against the preview.
void convertAndCheck(const QImage& canvas, const ScratchFolder& folder)
{
    auto state = startState();
    samplePicture(canvas, *state);
    QImage previewImage = canvas.copy();
    QImageSurface preview(previewImage);
    const std::string screenFile = folder.file("$.screen");
    const auto failure = convertAndWrite(*state, preview, screenFile);
    ASSERT_FALSE(failure) << failure->message();
    const auto written = readBytes(screenFile);
    EXPECT_EQ(written.size(), 20480u);
    EXPECT_EQ(readBytes(screenFile + ".inf").size(), 32u);
    checkScreenInvariants(*state, written, preview);
}

TEST_P(HostilePicture, EndsInAConversionOrAClearReason)
{
    const PictureCase& input = GetParam();
    ScratchFolder folder;
    const QString path = QString::fromStdString(folder.file(input.fileName.toStdString()));
    input.make(path);

    const Result<LoadedPicture> picture = loadPicture(path);
    std::printf("%s -> %s\n", input.name.c_str(),
                picture.ok() ? "converted" : text(failureReason(picture.failure())).c_str());
    switch (input.outcome) {
    case Outcome::Refused:
        ASSERT_FALSE(picture.ok()) << "a picture came out of " << input.name;
        EXPECT_FALSE(failureReason(picture.failure()).isEmpty());
        EXPECT_TRUE(failureReason(picture.failure()).contains(input.reasonContains)) << text(failureReason(picture.failure()));
        EXPECT_EQ(picture.failure().subject, path.toStdString());
        return;
    case Outcome::Converts:
        ASSERT_TRUE(picture.ok()) << text(failureReason(picture.failure()));
        break;
    }
    ASSERT_EQ(picture.value().image.size(), QSize(320, 256));
    if (input.checkCanvas) {
        const QString wrong = input.checkCanvas(picture.value().image);
        EXPECT_TRUE(wrong.isEmpty()) << text(wrong);
    }
    convertAndCheck(picture.value().image, folder);
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostilePicture, ::testing::ValuesIn(hostilePictureCases()),
                         [](const auto& info) { return info.param.name; });

TEST(HostileCorpus, HoldsAtLeastFortyDistinctInputs)
{
    const auto cases = hostilePictureCases();
    EXPECT_GE(cases.size(), 40u);
    std::set<std::string> names;
    for (const auto& input : cases)
        EXPECT_TRUE(names.insert(input.name).second) << "two cases named " << input.name;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
