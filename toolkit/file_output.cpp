#include "toolkit/file_output.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct StagedFile {
    std::string target;
    std::string temp;
    std::string backup;  // hard link to the previous target, if there was one
    bool renamed = false;
};

FileError errorFor(const std::string& file, int err)
{
    return FileError{file, std::generic_category().message(err)};
}

// A name beside the target that no other writer, thread or process, will pick.
std::string siblingName(const std::string& target, const char* tag)
{
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path path(target);
    std::string leaf = ".";
    leaf.append(path.filename().string()).append(".").append(tag).append("-");
    leaf.append(std::to_string(::getpid())).append("-").append(std::to_string(counter++));
    return (path.parent_path() / leaf).string();
}

std::optional<FileError> writeAll(int fd, const std::string& target,
                                  std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errorFor(target, errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        return errorFor(target, errno);
    return std::nullopt;
}

std::optional<FileError> writeTemporary(StagedFile& staged, std::span<const std::uint8_t> bytes)
{
    int fd = -1;
    do {
        staged.temp = siblingName(staged.target, "tmp");
        fd = ::open(staged.temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EEXIST);
    if (fd < 0) {
        const int err = errno;
        staged.temp.clear();
        return errorFor(staged.target, err);
    }
    auto failure = writeAll(fd, staged.target, bytes);
    if (::close(fd) != 0 && !failure)
        failure = errorFor(staged.target, errno);
    return failure;
}

// Refuses targets that rename() could not replace, before anything is renamed.
std::optional<FileError> checkReplaceable(const std::string& target)
{
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return errorFor(target, EISDIR);
    return std::nullopt;
}

// Keeps the previous target reachable until every rename has succeeded.
void keepBackup(StagedFile& staged)
{
    struct stat info {};
    if (::lstat(staged.target.c_str(), &info) != 0)
        return;
    const std::string backup = siblingName(staged.target, "old");
    if (::linkat(AT_FDCWD, staged.target.c_str(), AT_FDCWD, backup.c_str(), 0) == 0)
        staged.backup = backup;
}

void rollBack(std::vector<StagedFile>& staged)
{
    for (auto& file : staged) {
        if (file.renamed) {
            if (!file.backup.empty() && ::rename(file.backup.c_str(), file.target.c_str()) == 0)
                file.backup.clear();
            else if (file.backup.empty())
                ::unlink(file.target.c_str());
        }
        if (!file.temp.empty() && !file.renamed)
            ::unlink(file.temp.c_str());
        if (!file.backup.empty())
            ::unlink(file.backup.c_str());
    }
}

// Makes the renames themselves survive a power cut. Some file systems refuse
// to sync a folder; the files are in place by then, so that is not an error.
void syncFolders(const std::vector<StagedFile>& staged)
{
    std::vector<std::string> done;
    for (const auto& file : staged) {
        std::filesystem::path parent = std::filesystem::path(file.target).parent_path();
        const std::string folder = parent.empty() ? std::string(1, '.') : parent.string();
        if (std::find(done.begin(), done.end(), folder) != done.end())
            continue;
        done.push_back(folder);
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
}

std::optional<FileError> commit(std::vector<StagedFile>& staged)
{
    for (const auto& file : staged)
        if (auto failure = checkReplaceable(file.target))
            return failure;
    for (auto& file : staged)
        keepBackup(file);
    for (auto& file : staged) {
        if (::rename(file.temp.c_str(), file.target.c_str()) != 0)
            return errorFor(file.target, errno);
        file.renamed = true;
    }
    for (auto& file : staged)
        if (!file.backup.empty())
            ::unlink(file.backup.c_str());
    syncFolders(staged);
    return std::nullopt;
}

}  // namespace

std::optional<FileError> replaceFiles(std::span<const FileContent> files)
{
    std::vector<StagedFile> staged;
    staged.reserve(files.size());
    for (const auto& file : files) {
        staged.push_back(StagedFile{file.path, {}, {}, false});
        if (auto failure = writeTemporary(staged.back(), file.bytes)) {
            rollBack(staged);
            return failure;
        }
    }
    if (auto failure = commit(staged)) {
        rollBack(staged);
        return failure;
    }
    return std::nullopt;
}
