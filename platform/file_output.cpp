#include "platform/file_output.h"

#include "platform/system_calls.h"

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
    std::string backup;  // a copy or hard link of the previous target, if kept
    bool hadTarget = false;
    bool renamed = false;
};

// A file of an earlier output that this one removes: moved aside to
// `backup` until every new file is in place.
struct RemovedFile {
    std::string target;
    std::string backup;
};

Failure failureFor(const std::string& file, int err)
{
    return Failure{file, std::generic_category().message(err)};
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

// Returns errno of the first failure, or 0.
int writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    const SystemCalls& sys = systemCalls();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = sys.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return sys.fsync(fd) != 0 ? errno : 0;
}

// Writes `bytes` to a new file named by `tag` beside `near`, flushed to disk.
// Returns errno of the failure, or 0 with `name` set.
int writeSibling(const std::string& near, const char* tag, std::span<const std::uint8_t> bytes,
                 std::string& name)
{
    const SystemCalls& sys = systemCalls();
    int fd = -1;
    do {
        name = siblingName(near, tag);
        fd = sys.open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EEXIST);
    if (fd < 0) {
        const int err = errno;
        name.clear();
        return err;
    }
    int err = writeAll(fd, bytes);
    if (sys.close(fd) != 0 && err == 0)
        err = errno;
    return err;
}

Status writeTemporary(StagedFile& staged, std::span<const std::uint8_t> bytes)
{
    if (const int err = writeSibling(staged.target, "tmp", bytes, staged.temp))
        return failureFor(staged.target, err);
    return Done{};
}

// Refuses targets that rename() could not replace, before anything is renamed.
Status checkReplaceable(StagedFile& staged)
{
    struct stat info {};
    if (::lstat(staged.target.c_str(), &info) != 0)
        return Done{};
    if (S_ISDIR(info.st_mode))
        return failureFor(staged.target, EISDIR);
    staged.hadTarget = true;
    return Done{};
}

// The previous target's bytes, or errno.
int readWhole(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : 0;
            ::close(fd);
            return err;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
}

// Keeps the previous target reachable until every rename has succeeded: a
// hard link costs nothing, and where the file system has none a copy does.
// A symbolic link is kept as a link of the same text.
Status keepBackup(StagedFile& staged)
{
    if (!staged.hadTarget)
        return Done{};
    const std::string link = siblingName(staged.target, "old");
    if (systemCalls().link(staged.target.c_str(), link.c_str()) == 0) {
        staged.backup = link;
        return Done{};
    }
    std::error_code error;
    if (std::filesystem::is_symlink(staged.target, error)) {
        const auto text = std::filesystem::read_symlink(staged.target, error);
        if (!error)
            std::filesystem::create_symlink(text, link, error);
        if (error)
            return Failure{staged.target, error.message()};
        staged.backup = link;
        return Done{};
    }
    std::vector<std::uint8_t> previous;
    int err = readWhole(staged.target, previous);
    if (err == 0)
        err = writeSibling(staged.target, "old", previous, staged.backup);
    if (err != 0)
        return failureFor(staged.target, err);
    return Done{};
}

// Puts every renamed target back as it was, and every removed file. A
// backup that cannot be put back is left where it is rather than deleted,
// so the earlier file is never lost.
void rollBack(std::vector<StagedFile>& staged, std::vector<RemovedFile>& removed)
{
    const SystemCalls& sys = systemCalls();
    for (auto& file : staged) {
        if (file.renamed && !file.hadTarget)
            sys.unlink(file.target.c_str());
        if (file.renamed && !file.backup.empty() &&
            sys.rename(file.backup.c_str(), file.target.c_str()) == 0)
            file.backup.clear();
        if (!file.temp.empty() && !file.renamed)
            sys.unlink(file.temp.c_str());
        if (!file.backup.empty() && !file.renamed)
            sys.unlink(file.backup.c_str());
    }
    for (auto& file : removed)
        if (!file.backup.empty() && sys.rename(file.backup.c_str(), file.target.c_str()) == 0)
            file.backup.clear();
}

// The removals that name a file (or a symbolic link) to remove: an absent
// name needs nothing, and a folder is not a file an output made.
std::vector<RemovedFile> presentRemovals(std::span<const std::string> removals)
{
    std::vector<RemovedFile> present;
    for (const std::string& path : removals) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode))
            present.push_back(RemovedFile{path, {}});
    }
    return present;
}

// Moves each removed file aside by one rename, which can be undone by
// another; the file is deleted only once the new files are in place.
Status moveAside(std::vector<RemovedFile>& removed)
{
    for (auto& file : removed) {
        const std::string aside = siblingName(file.target, "old");
        if (systemCalls().rename(file.target.c_str(), aside.c_str()) != 0)
            return failureFor(file.target, errno);
        file.backup = aside;
    }
    return Done{};
}

// Makes the renames themselves survive a power cut. Some file systems refuse
// to sync a folder; the files are in place by then, so that is not an error.
void syncFolders(const std::vector<std::string>& paths)
{
    std::vector<std::string> done;
    for (const auto& path : paths) {
        std::filesystem::path parent = std::filesystem::path(path).parent_path();
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

// Deletes the backups once everything is in place, and flushes the folders.
void finish(const std::vector<StagedFile>& staged, const std::vector<RemovedFile>& removed)
{
    std::vector<std::string> paths;
    for (const auto& file : staged) {
        if (!file.backup.empty())
            systemCalls().unlink(file.backup.c_str());
        paths.push_back(file.target);
    }
    for (const auto& file : removed) {
        systemCalls().unlink(file.backup.c_str());
        paths.push_back(file.target);
    }
    syncFolders(paths);
}

Status commit(std::vector<StagedFile>& staged, std::vector<RemovedFile>& removed)
{
    for (auto& file : staged)
        if (Status replaceable = checkReplaceable(file); !replaceable)
            return replaceable;
    // The last rename is the last step that can fail; a failed rename leaves
    // its own target untouched, so the last target needs no backup.
    for (std::size_t i = 0; i + 1 < staged.size(); ++i)
        if (Status kept = keepBackup(staged[i]); !kept)
            return kept;
    if (Status moved = moveAside(removed); !moved)
        return moved;
    for (auto& file : staged) {
        if (systemCalls().rename(file.temp.c_str(), file.target.c_str()) != 0)
            return failureFor(file.target, errno);
        file.renamed = true;
    }
    finish(staged, removed);
    return Done{};
}

// Writes every temporary, then puts everything in place; on a failure,
// leaves every file as it was.
Status replaceAll(std::span<const FileContent> files, std::span<const std::string> removals,
                  std::vector<RemovedFile>& removed)
{
    std::vector<StagedFile> staged;
    staged.reserve(files.size());
    for (const auto& file : files) {
        staged.push_back(StagedFile{file.path, {}, {}, false, false});
        if (Status written = writeTemporary(staged.back(), file.bytes); !written) {
            rollBack(staged, removed);
            return written;
        }
    }
    removed = presentRemovals(removals);
    Status committed = commit(staged, removed);
    if (!committed)
        rollBack(staged, removed);
    return committed;
}

}  // namespace

Status replaceFiles(std::span<const FileContent> files)
{
    std::vector<RemovedFile> removed;
    return replaceAll(files, {}, removed);
}

Result<FilesReplaced> replaceFiles(const FileSet& set)
{
    std::vector<FileContent> files;
    FilesReplaced replaced;
    for (const auto& file : set.files) {
        files.push_back({file.path, file.bytes});
        replaced.written.push_back(file.path);
    }
    std::vector<RemovedFile> removed;
    if (const Status replacedAll = replaceAll(files, set.removals, removed); !replacedAll)
        return replacedAll.failure();
    for (const auto& file : removed)
        replaced.removed.push_back(file.target);
    return replaced;
}
