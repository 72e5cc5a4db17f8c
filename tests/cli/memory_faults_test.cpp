// A picture's work against running out of memory at every large allocation
// it makes, one at a time: loading, converting, packing and writing. The
// picture fails, named, with the one out-of-memory reason; nothing escapes
// to end the program. This binary replaces operator new to fail on demand,
// so it holds these tests alone.
#include "cli/convert_picture.h"
#include "recipe/picture_recipe.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <algorithm>
#include <new>
#include <vector>

namespace {

// Allocations this large are counted; smaller ones (names, small objects)
// are left alone, so the sweep follows the work's buffers.
constexpr std::size_t kLarge = 4096;

// How many large allocations succeed before one fails; below zero, none
// fails. And how many were made since the count was last cleared.
std::atomic<long> largeLeft{-1};
std::atomic<long> largeMade{0};
std::atomic<bool> failed{false};

void* allocate(std::size_t size)
{
    if (size >= kLarge)
        ++largeMade;
    if (size >= kLarge && largeLeft.load() >= 0 && largeLeft.fetch_sub(1) == 0) {
        failed = true;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

// Arms the fault for the allocation after `succeeding` large ones.
struct FaultAfter {
    explicit FaultAfter(long succeeding)
    {
        failed = false;
        largeLeft = succeeding;
    }
    ~FaultAfter() { largeLeft = -1; }
};

// The large allocations `work` makes when none fails.
template <typename Work>
long largeAllocations(Work work)
{
    largeMade = 0;
    work();
    return largeMade;
}

// Where to fail among `total` large allocations: each of them when they are
// few; else a spread through the conversion and every one of the last, where
// the packing and writing are.
std::vector<long> faultPositions(long total)
{
    constexpr long kEvery = 100;
    constexpr long kLast = 40;
    std::vector<long> positions;
    const long step = total <= kEvery ? 1 : total / kEvery;
    for (long position = 0; position < total; position += step)
        positions.push_back(position);
    for (long position = std::max(0L, total - kLast); position < total; ++position)
        if (position % step != 0)
            positions.push_back(position);
    return positions;
}

std::string writePicture(const ScratchFolder& folder)
{
    QImage picture(96, 64, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 2, y * 3, (x * y) % 256));
    const std::string path = folder.file("picture.png");
    picture.save(QString::fromStdString(path));
    return path;
}

Settings settingsFor(int mode, Method method)
{
    Settings settings;
    settings.mode = mode;
    settings.method = mode == 7 ? Settings{}.method : method;
    return settings;
}

class MemoryFaults : public ::testing::TestWithParam<std::pair<int, Method>> {};

TEST_P(MemoryFaults, PictureFileFailsNamedWhereverMemoryRunsOut)
{
    ScratchFolder folder;
    const QString picture = QString::fromStdString(writePicture(folder));
    const Settings settings = settingsFor(GetParam().first, GetParam().second);
    const auto convert = [&] { return convertPictureFile(picture, settings, Zx02Search::Quick); };
    const long total = largeAllocations(convert);
    ASSERT_GT(total, 0);
    for (const long position : faultPositions(total)) {
        const FaultAfter fault(position);
        const Result<ConvertedPicture> converted = convert();
        ASSERT_TRUE(failed) << "allocation " << position;
        ASSERT_FALSE(converted.ok()) << "allocation " << position;
        EXPECT_EQ(converted.failure(), outOfMemory(picture)) << "allocation " << position;
    }
    const Result<ConvertedPicture> converted = convert();
    ASSERT_TRUE(converted.ok()) << converted.failure().message();
    EXPECT_FALSE(converted.value().stream.empty());
}

TEST_P(MemoryFaults, CommandLinePictureFailsNamedWhereverMemoryRunsOut)
{
    ScratchFolder folder;
    PictureJob job;
    job.picture = QString::fromStdString(writePicture(folder));
    job.screenFile = QString::fromStdString(folder.file("picture.screen"));
    job.previewFile = QString::fromStdString(folder.file("preview.png"));
    job.realPreviewFile = QString::fromStdString(folder.file("real.png"));
    job.packedFile = true;
    const Settings settings = settingsFor(GetParam().first, GetParam().second);
    const auto convert = [&] { return convertPicture(job, settings); };
    const long total = largeAllocations(convert);
    for (const long position : faultPositions(total)) {
        const FaultAfter fault(position);
        const PictureOutcome outcome = convert();
        ASSERT_TRUE(failed) << "allocation " << position;
        ASSERT_FALSE(outcome.ok()) << "allocation " << position;
        EXPECT_EQ(outcome.status.failure(), outOfMemory(job.picture)) << "allocation " << position;
    }
    const PictureOutcome outcome = convert();
    ASSERT_TRUE(outcome.ok()) << outcome.status.failure().message();
    EXPECT_EQ(outcome.written.size(), 6);  // the screen, the stream, their .inf files and the two PNGs
}

INSTANTIATE_TEST_SUITE_P(Methods, MemoryFaults,
                         ::testing::Values(std::pair(1, Method::Classic), std::pair(2, Method::FloydSteinberg),
                                           std::pair(7, Method::Classic)),
                         [](const auto& info) {
                             const char* method = info.param.first == 7 ? "Teletext"
                                                  : info.param.second == Method::Classic ? "Classic"
                                                                                        : "ErrorDiffusion";
                             return "Mode" + std::to_string(info.param.first) + method;
                         });

}  // namespace

int main(int argc, char** argv)
{
    // Pictures are decoded and encoded by Qt's image plugins, found through
    // a core application; no display is needed.
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
