#pragma once

#include <sys/types.h>

// The system calls the file writer makes, behind a seam so that tests can
// make any one of them fail at a chosen step, as a full disk, a file system
// without hard links or a yanked memory card would.
struct SystemCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* data, size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*link)(const char* from, const char* to);
    int (*rename)(const char* from, const char* to);
    int (*unlink)(const char* path);
};

// The calls the writer uses now: the real ones unless a test replaced them.
const SystemCalls& systemCalls();

// Replaces the calls; tests put the real ones back when they are done.
void setSystemCalls(const SystemCalls& calls);

// The real system calls.
SystemCalls realSystemCalls();
