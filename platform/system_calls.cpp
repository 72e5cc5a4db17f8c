#include "platform/system_calls.h"

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

int openFile(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

SystemCalls current = realSystemCalls();

}  // namespace

SystemCalls realSystemCalls()
{
    return SystemCalls{openFile, ::write, ::fsync, ::close, ::link, ::rename, ::unlink};
}

const SystemCalls& systemCalls()
{
    return current;
}

void setSystemCalls(const SystemCalls& calls)
{
    current = calls;
}
