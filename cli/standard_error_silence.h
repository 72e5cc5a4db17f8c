#pragma once

#include <cstdio>

// Some libraries under Qt's decoders write straight to standard error, past
// every message handler: libpng "libpng error: Read Error" as it gives up on
// a picture, libtiff its complaints about a file's directory. Such lines name
// no picture, repeat what the picture's own report says, and break a batch's
// progress line, from whichever thread decodes. While a silence lives, the
// process's standard error leads nowhere; Rasterine's own reports go to
// reports(), the standard error it had before. Sanitizer reports go there
// too. Should the silence fail to set up, reports() is plain stderr.
class StandardErrorSilence {
public:
    StandardErrorSilence();
    ~StandardErrorSilence();
    StandardErrorSilence(const StandardErrorSilence&) = delete;
    StandardErrorSilence& operator=(const StandardErrorSilence&) = delete;

    std::FILE* reports() const { return reports_; }

private:
    std::FILE* reports_ = stderr;
};
