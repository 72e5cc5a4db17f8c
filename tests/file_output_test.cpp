#include "platform/file_output.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <filesystem>

#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::string textOf(const fs::path& file)
{
    const auto bytes = readBytes(file);
    return {bytes.begin(), bytes.end()};
}

class ReplaceFiles : public ::testing::Test {
protected:
    std::optional<Failure> replacePair(const std::string& first, const std::string& second)
    {
        const std::array<FileContent, 2> files{{{folder.file("a"), firstBytes = bytesOf(first)},
                                                 {folder.file("b"), secondBytes = bytesOf(second)}}};
        return failureOf(replaceFiles(files));
    }

    void writeOldPair()
    {
        writeText(folder.file("a"), "old a");
        writeText(folder.file("b"), "old b");
    }

    ScratchFolder folder;
    std::vector<std::uint8_t> firstBytes, secondBytes;
};

}  // namespace

TEST_F(ReplaceFiles, WritesNewFilesAndReplacesOldOnes)
{
    ASSERT_FALSE(replacePair("one", "two"));
    EXPECT_EQ(textOf(folder.file("a")), "one");
    EXPECT_EQ(textOf(folder.file("b")), "two");
    ASSERT_FALSE(replacePair("three", ""));
    EXPECT_EQ(textOf(folder.file("a")), "three");
    EXPECT_EQ(textOf(folder.file("b")), "");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ReplaceFiles, SymbolicLinkIsReplacedNotWrittenThrough)
{
    writeText(folder.file("target"), "precious");
    fs::create_symlink(folder.file("target"), folder.file("a"));
    ASSERT_FALSE(replacePair("new a", "new b"));
    EXPECT_FALSE(fs::is_symlink(folder.file("a")));
    EXPECT_EQ(textOf(folder.file("a")), "new a");
    EXPECT_EQ(textOf(folder.file("target")), "precious");
}

TEST_F(ReplaceFiles, PathThroughARegularFileFails)
{
    writeText(folder.file("plain"), "x");
    const std::array<FileContent, 1> files{{{folder.file("plain/a"), {}}}};
    const auto failure = failureOf(replaceFiles(files));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->subject, folder.file("plain/a"));
    EXPECT_EQ(failure->reason, "Not a directory");
}

TEST_F(ReplaceFiles, DirectoryHoldingEitherNameLeavesBothUntouched)
{
    for (const char* blocked : {"a", "b"}) {
        ScratchFolder scratch;
        writeText(scratch.file("a"), "old a");
        writeText(scratch.file("b"), "old b");
        fs::remove(scratch.file(blocked));
        fs::create_directory(scratch.file(blocked));
        const auto a = bytesOf("new a"), b = bytesOf("new b");
        const std::array<FileContent, 2> files{{{scratch.file("a"), a}, {scratch.file("b"), b}}};
        const auto failure = failureOf(replaceFiles(files));
        ASSERT_TRUE(failure) << blocked;
        EXPECT_EQ(failure->subject, scratch.file(blocked));
        EXPECT_EQ(failure->reason, "Is a directory");
        const std::string other = std::string(blocked) == "a" ? "b" : "a";
        EXPECT_EQ(textOf(scratch.file(other)), "old " + other);
        EXPECT_EQ(scratch.entries(), (std::vector<std::string>{"a", "b"})) << "temporary left behind";
    }
}

TEST_F(ReplaceFiles, FullDiskLeavesTheOldPairAndNoTemporaries)
{
    writeOldPair();
    // A file-size limit stands in for a full disk; root cannot write past it.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    const std::string big(5000, 'x');
    const auto failure = replacePair("small", big);

    ::setrlimit(RLIMIT_FSIZE, &old);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->subject, folder.file("b"));
    EXPECT_EQ(failure->reason, "File too large");
    EXPECT_EQ(textOf(folder.file("a")), "old a");
    EXPECT_EQ(textOf(folder.file("b")), "old b");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ReplaceFiles, NewFilesTakeTheUsualPermissions)
{
    const mode_t previous = ::umask(022);
    ASSERT_FALSE(replacePair("x", "y"));
    ::umask(previous);
    EXPECT_EQ(fs::status(folder.file("a")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
}

TEST_F(ReplaceFiles, RemovesOnlyTheFilesThatAreThere)
{
    writeText(folder.file("stale"), "earlier output");
    fs::create_directory(folder.file("folder"));
    const FileSet set{{{folder.file("a"), bytesOf("new a")}},
                      {folder.file("stale"), folder.file("absent"), folder.file("folder")}};
    const auto replaced = replaceFiles(set);
    ASSERT_TRUE(replaced.ok()) << replaced.failure().message();
    EXPECT_EQ(replaced.value().written, std::vector<std::string>{folder.file("a")});
    EXPECT_EQ(replaced.value().removed, std::vector<std::string>{folder.file("stale")});
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"a", "folder"}));
}
