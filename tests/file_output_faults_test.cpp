// The writer against a failure at every step it takes, on a file system
// with hard links and on one without (FAT and exFAT memory cards): whichever
// system call fails, the earlier pair is left exactly as it was, or the new
// pair is complete, and no temporary file is left behind.
#include "platform/file_output.h"
#include "platform/system_calls.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <string>

namespace {

enum Call { kOpen, kWrite, kFsync, kClose, kLink, kRename, kCalls };
constexpr std::array<const char*, kCalls> kCallNames{"open", "write", "fsync", "close", "link", "rename"};

// Which call fails, counted from 1 among calls of its kind; and whether the
// file system has hard links at all.
struct FaultPlan {
    int call = kCalls;
    int failAt = 0;
    bool hardLinks = true;
    std::array<int, kCalls> made{};
};
FaultPlan plan;
const SystemCalls real = realSystemCalls();

bool failsNow(Call call)
{
    return ++plan.made[call] == plan.failAt && plan.call == call;
}

int faultyOpen(const char* path, int flags, mode_t mode)
{
    return failsNow(kOpen) ? (errno = ENOSPC, -1) : real.open(path, flags, mode);
}
ssize_t faultyWrite(int fd, const void* data, size_t size)
{
    return failsNow(kWrite) ? (errno = EIO, -1) : real.write(fd, data, size);
}
int faultyFsync(int fd)
{
    return failsNow(kFsync) ? (errno = EIO, -1) : real.fsync(fd);
}
int faultyClose(int fd)
{
    real.close(fd);
    return failsNow(kClose) ? (errno = EIO, -1) : 0;
}
int faultyLink(const char* from, const char* to)
{
    if (!plan.hardLinks)
        return errno = EPERM, -1;
    return failsNow(kLink) ? (errno = EMLINK, -1) : real.link(from, to);
}
int faultyRename(const char* from, const char* to)
{
    return failsNow(kRename) ? (errno = EIO, -1) : real.rename(from, to);
}

class WriterFaults : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        setSystemCalls({faultyOpen, faultyWrite, faultyFsync, faultyClose, faultyLink,
                        faultyRename, real.unlink});
    }
    void TearDown() override { setSystemCalls(real); }

    Status replacePair(const ScratchFolder& folder)
    {
        const std::array<FileContent, 2> files{
            {{folder.file("$.screen"), screen}, {folder.file("$.screen.inf"), inf}}};
        return replaceFiles(files);
    }

    const std::vector<std::uint8_t> screen = std::vector<std::uint8_t>(20480, 0x5A);
    const std::vector<std::uint8_t> inf = {'n', 'e', 'w', '\n'};
};

}  // namespace

TEST_P(WriterFaults, EveryStepLeavesTheOldPairOrTheNewOne)
{
    plan = FaultPlan{kCalls, 0, GetParam(), {}};
    {
        ScratchFolder dry;
        writeText(dry.file("$.screen"), "old screen");
        writeText(dry.file("$.screen.inf"), "old inf");
        ASSERT_TRUE(replacePair(dry).ok());
    }
    const std::array<int, kCalls> calls = plan.made;
    for (int call = 0; call < kCalls; ++call)
        for (int n = 1; n <= calls[static_cast<std::size_t>(call)]; ++n) {
            SCOPED_TRACE(std::string(kCallNames[static_cast<std::size_t>(call)]) + " number " +
                         std::to_string(n));
            ScratchFolder folder;
            writeText(folder.file("$.screen"), "old screen");
            writeText(folder.file("$.screen.inf"), "old inf");
            plan = FaultPlan{call, n, GetParam(), {}};
            const Status written = replacePair(folder);
            EXPECT_EQ(folder.entries(), (std::vector<std::string>{"$.screen", "$.screen.inf"}));
            if (written.ok()) {
                EXPECT_EQ(readBytes(folder.file("$.screen")), screen);
                EXPECT_EQ(readBytes(folder.file("$.screen.inf")), inf);
                continue;
            }
            const auto oldScreen = readBytes(folder.file("$.screen"));
            const auto oldInf = readBytes(folder.file("$.screen.inf"));
            EXPECT_EQ(std::string(oldScreen.begin(), oldScreen.end()), "old screen");
            EXPECT_EQ(std::string(oldInf.begin(), oldInf.end()), "old inf");
            EXPECT_FALSE(written.failure().reason.empty());
        }
}

INSTANTIATE_TEST_SUITE_P(FileSystems, WriterFaults, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "HardLinks" : "NoHardLinks"; });
