#include "cli/standard_error_silence.h"

#include <cstdint>

#include <fcntl.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

void sendSanitizerReportsTo(int fd)
{
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(fd)));
#else
    (void)fd;
#endif
}

}  // namespace

StandardErrorSilence::StandardErrorSilence()
{
    std::fflush(stderr);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const int saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    std::FILE* reports = saved >= 0 ? ::fdopen(saved, "w") : nullptr;
    if (nowhere < 0 || reports == nullptr || ::dup2(nowhere, STDERR_FILENO) < 0) {
        if (reports != nullptr)
            std::fclose(reports);
        else if (saved >= 0)
            ::close(saved);
        if (nowhere >= 0)
            ::close(nowhere);
        return;
    }
    ::close(nowhere);
    reports_ = reports;
    sendSanitizerReportsTo(saved);
}

StandardErrorSilence::~StandardErrorSilence()
{
    if (reports_ == stderr)
        return;
    std::fflush(reports_);
    ::dup2(::fileno(reports_), STDERR_FILENO);
    sendSanitizerReportsTo(STDERR_FILENO);
    std::fclose(reports_);
}
