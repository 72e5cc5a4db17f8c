// Outputs that cannot be written: the picture fails with the file's name and
// the system's reason, and nothing partial is left behind.
#include "converter_process.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Every file under `root` with its bytes, to show that a failed run changed nothing.
std::map<std::string, std::vector<std::uint8_t>> snapshot(const std::filesystem::path& root)
{
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        files[entry.path().lexically_relative(root).string()] =
            entry.is_regular_file() ? readBytes(entry.path()) : std::vector<std::uint8_t>{};
    return files;
}

}  // namespace

TEST(WriteFailure, UnwritableOutputsFailAndLeaveEverythingAsItWas)
{
    ScratchFolder folder;
    savePicture(testPicture(), folder.path(), "pic.png", "png");
    writeText(folder.path() / "plain-file", "not a folder");
    std::filesystem::create_directory(folder.path() / "screen-is-a-folder");
    std::filesystem::create_directory(folder.path() / "screen-is-a-folder" / "$.screen");
    // An earlier pair whose .inf name is now taken by a folder.
    ASSERT_EQ(runConverter(folder.path(), {"-m", "4", "-o", "kept.screen", "pic.png"}).exitCode, 0);
    std::filesystem::remove(folder.path() / "kept.screen.inf");
    std::filesystem::create_directory(folder.path() / "kept.screen.inf");

    const struct {
        const char* name;
        QStringList arguments;
        const char* message;
    } cases[] = {
        {"missing folder", {"-d", "missing", "pic.png"},
         "rasterine-convert: pic.png: cannot write missing/pic.screen: No such file or directory\n"},
        {"file where the folder should be", {"-d", "plain-file", "pic.png"},
         "rasterine-convert: pic.png: cannot write plain-file/pic.screen: Not a directory\n"},
        {"folder with the screen file's name", {"-o", "screen-is-a-folder/$.screen", "pic.png"},
         "rasterine-convert: pic.png: cannot write screen-is-a-folder/$.screen: Is a directory\n"},
        {"folder with the .inf file's name", {"-o", "kept.screen", "pic.png"},
         "rasterine-convert: pic.png: cannot write kept.screen.inf: Is a directory\n"},
    };
    for (const auto& failure : cases) {
        SCOPED_TRACE(failure.name);
        const auto before = snapshot(folder.path());
        const ConverterRun run = runConverter(folder.path(), failure.arguments);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, failure.message);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(snapshot(folder.path()), before);
    }
}

TEST(WriteFailure, APreviewThatCannotBeWrittenFailsThePicture)
{
    ScratchFolder folder;
    savePicture(testPicture(), folder.path(), "pic.png", "png");
    const ConverterRun run = runConverter(folder.path(), {"-p", "nowhere/pic.png", "pic.png"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "rasterine-convert: pic.png: cannot write nowhere/pic.png: No such file or directory\n");
    // The screen pair was complete before the preview was tried.
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"$.screen", "$.screen.inf", "pic.png"}));
}

TEST(WriteFailure, AFileSizeLimitIsAWriteErrorNotACrash)
{
    ScratchFolder folder;
    savePicture(testPicture(), folder.path(), "pic.png", "png");
    ASSERT_EQ(runConverter(folder.path(), {"-m", "4", "pic.png", "-p", "preview.png"}).exitCode, 0);
    const auto before = snapshot(folder.path());

    // Big enough for the picture's own reading, too small for a 20480-byte screen.
    RunConditions limited;
    limited.fileSizeLimit = 16384;
    const ConverterRun run = runConverter(folder.path(), {"-m", "1", "pic.png"}, limited);
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "rasterine-convert: pic.png: cannot write $.screen: File too large\n");
    EXPECT_EQ(snapshot(folder.path()), before);
}

// Outputs that are symbolic links are replaced by regular files: whatever
// they pointed at, elsewhere, stays as it was, and nothing else is left.
TEST(WriteFailure, SymbolicLinksAreReplacedNotWrittenThrough)
{
    ScratchFolder folder;
    ScratchFolder elsewhere;
    savePicture(testPicture(), folder.path(), "pic.png", "png");
    writeText(elsewhere.path() / "precious", "precious content");
    std::filesystem::create_symlink(elsewhere.path() / "precious", folder.path() / "$.screen");
    std::filesystem::create_symlink(elsewhere.path() / "missing", folder.path() / "$.screen.inf");

    const ConverterRun run = runConverter(folder.path(), {"-m", "4", "pic.png"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    for (const char* name : {"$.screen", "$.screen.inf"})
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(folder.path() / name)))
            << name;
    EXPECT_EQ(readBytes(folder.path() / "$.screen").size(), 10240u);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"$.screen", "$.screen.inf", "pic.png"}));
    EXPECT_EQ(elsewhere.entries(), std::vector<std::string>{"precious"});
    const std::vector<std::uint8_t> precious = readBytes(elsewhere.path() / "precious");
    EXPECT_EQ(std::string(precious.begin(), precious.end()), "precious content");
}

// A failed write leaves a "$.screen" that is a symbolic link as it was: still
// a link to the same file, whose content is untouched.
TEST(WriteFailure, AFailedWriteLeavesASymbolicLinkAsItWas)
{
    ScratchFolder folder;
    ScratchFolder elsewhere;
    savePicture(testPicture(), folder.path(), "pic.png", "png");
    writeText(elsewhere.path() / "precious", "precious content");
    std::filesystem::create_symlink(elsewhere.path() / "precious", folder.path() / "$.screen");
    std::filesystem::create_directory(folder.path() / "$.screen.inf");
    RunConditions limited;
    limited.fileSizeLimit = 4096;

    for (const RunConditions& conditions : {RunConditions{}, limited}) {
        const ConverterRun run = runConverter(folder.path(), {"pic.png"}, conditions);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err, "");
        EXPECT_EQ(std::filesystem::read_symlink(folder.path() / "$.screen"), elsewhere.path() / "precious");
        EXPECT_EQ(folder.entries(), (std::vector<std::string>{"$.screen", "$.screen.inf", "pic.png"}));
        const std::vector<std::uint8_t> precious = readBytes(elsewhere.path() / "precious");
        EXPECT_EQ(std::string(precious.begin(), precious.end()), "precious content");
    }
}
