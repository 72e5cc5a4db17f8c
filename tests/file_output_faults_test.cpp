// The writer against a failure at every step it takes, on a file system
// with hard links and on one without (FAT and exFAT memory cards): whichever
// system call fails, the earlier files are left exactly as they were, the
// ones the new set removes included, or the new set is complete, and no
// temporary file is left behind.
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

    // The new screen and .inf, removing an earlier .nula pair and a .zx02
    // that is not there.
    Result<FilesReplaced> replaceSet(const ScratchFolder& folder)
    {
        FileSet set{{{folder.file("$.screen"), screen}, {folder.file("$.screen.inf"), inf}},
                    {folder.file("$.screen.nula"), folder.file("$.screen.nula.inf"), folder.file("$.screen.zx02")}};
        return replaceFiles(set);
    }

    static void writeOldFiles(const ScratchFolder& folder)
    {
        for (const char* name : kOldFiles)
            writeText(folder.file(name), std::string("old ") + name);
    }

    static constexpr std::array<const char*, 4> kOldFiles{"$.screen", "$.screen.inf", "$.screen.nula",
                                                          "$.screen.nula.inf"};
    const std::vector<std::uint8_t> screen = std::vector<std::uint8_t>(20480, 0x5A);
    const std::vector<std::uint8_t> inf = {'n', 'e', 'w', '\n'};
};

}  // namespace

TEST_P(WriterFaults, EveryStepLeavesTheOldFilesOrTheNewSet)
{
    plan = FaultPlan{kCalls, 0, GetParam(), {}};
    {
        ScratchFolder dry;
        writeOldFiles(dry);
        const auto replaced = replaceSet(dry);
        ASSERT_TRUE(replaced.ok());
        EXPECT_EQ(replaced.value().removed,
                  (std::vector<std::string>{dry.file("$.screen.nula"), dry.file("$.screen.nula.inf")}));
    }
    const std::array<int, kCalls> calls = plan.made;
    for (int call = 0; call < kCalls; ++call)
        for (int n = 1; n <= calls[static_cast<std::size_t>(call)]; ++n) {
            SCOPED_TRACE(std::string(kCallNames[static_cast<std::size_t>(call)]) + " number " +
                         std::to_string(n));
            ScratchFolder folder;
            writeOldFiles(folder);
            plan = FaultPlan{call, n, GetParam(), {}};
            const auto replaced = replaceSet(folder);
            if (replaced.ok()) {
                EXPECT_EQ(folder.entries(), (std::vector<std::string>{"$.screen", "$.screen.inf"}));
                EXPECT_EQ(readBytes(folder.file("$.screen")), screen);
                EXPECT_EQ(readBytes(folder.file("$.screen.inf")), inf);
                continue;
            }
            EXPECT_EQ(folder.entries(), std::vector<std::string>(kOldFiles.begin(), kOldFiles.end()));
            for (const char* name : kOldFiles) {
                const auto old = readBytes(folder.file(name));
                EXPECT_EQ(std::string(old.begin(), old.end()), std::string("old ") + name);
            }
            EXPECT_FALSE(replaced.failure().reason.empty());
        }
}

INSTANTIATE_TEST_SUITE_P(FileSystems, WriterFaults, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "HardLinks" : "NoHardLinks"; });
