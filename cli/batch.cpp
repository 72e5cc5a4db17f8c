#include "cli/batch.h"

#include "cli/standard_error_silence.h"
#include "conversion/option_catalogue.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

// Batches this long show progress when standard error is a terminal; shorter
// ones finish before a progress line would be worth reading.
constexpr std::size_t kProgressFrom = 10;

// Prints what the workers report, one whole line at a time, so lines from
// different pictures never interleave. The progress line, when shown, is
// rewritten in place and wiped before any other line is printed. `errors`
// is where failures and progress go: standard error as it was before the
// decoders' own output was silenced.
class Reporter {
public:
    Reporter(std::size_t total, bool verbose, std::FILE* errors)
        : total_(total), verbose_(verbose), errors_(errors),
          progress_(total >= kProgressFrom && ::isatty(::fileno(errors)) == 1)
    {
    }

    void pictureDone(const PictureJob& job, const PictureOutcome& outcome)
    {
        const std::lock_guard lock(mutex_);
        ++done_;
        wipeProgress();
        if (!outcome.ok())
            print(errors_, QStringLiteral("rasterine-convert: %1\n").arg(QString::fromStdString(outcome.status.failure().message())));
        if (outcome.conversion && !outcome.conversion->note.empty())
            print(stdout, QStringLiteral("%1: %2\n").arg(job.picture, QString::fromStdString(outcome.conversion->note)));
        if (verbose_) {
            for (const QString& file : outcome.written)
                print(stdout, file + QLatin1Char('\n'));
            for (const QString& file : outcome.removed)
                print(stdout, QStringLiteral("removed %1\n").arg(file));
            if (!outcome.palette.isEmpty())
                print(stdout, QStringLiteral("%1: %2\n").arg(job.picture, outcome.palette));
        }
        if (progress_) {
            print(errors_, QStringLiteral("[%1/%2] %3\x1b[K")
                              .arg(done_)
                              .arg(total_)
                              .arg(QFileInfo(job.picture).fileName()));
            progressShown_ = true;
        }
    }

    void finish()
    {
        const std::lock_guard lock(mutex_);
        wipeProgress();
    }

private:
    static void print(std::FILE* stream, const QString& text)
    {
        std::fputs(text.toLocal8Bit().constData(), stream);
        std::fflush(stream);
    }

    void wipeProgress()
    {
        if (progressShown_)
            print(errors_, QStringLiteral("\r\x1b[K"));
        progressShown_ = false;
    }

    std::mutex mutex_;
    const std::size_t total_;
    std::size_t done_ = 0;
    const bool verbose_;
    std::FILE* const errors_;
    const bool progress_;
    bool progressShown_ = false;
};

// A single picture converted by a slow method (direct binary search) takes a
// second or two: on a terminal its progress is shown as a percentage, wiped
// when done.
ProgressReport terminalProgress(const Options& options, std::FILE* errors)
{
    if (options.jobs.size() != 1 || !slow(options.settings) || ::isatty(::fileno(errors)) != 1)
        return {};
    return [shown = -1, errors](double fraction) mutable {
        const int percent = static_cast<int>(fraction * 100);
        if (percent == shown)
            return;
        shown = percent;
        std::fprintf(errors, percent >= 100 ? "\r\x1b[K" : "\rconverting: %d%%\x1b[K", percent);
        std::fflush(errors);
    };
}

// Converts every picture, up to options.threads at a time, with the
// decoders' stray output silenced; keeps what a disc needs of each. Returns
// whether any picture failed.
bool convertAll(const Options& options, std::vector<std::optional<Conversion>>& conversions,
                std::vector<std::vector<std::uint8_t>>& streams)
{
    const auto& jobs = options.jobs;
    const StandardErrorSilence silence;
    Reporter reporter(jobs.size(), options.verbose, silence.reports());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> anyFailed{false};
    const ProgressReport progress = terminalProgress(options, silence.reports());

    // Every worker takes the next unconverted picture until none is left.
    const auto work = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            PictureOutcome outcome = convertPicture(jobs[i], options.settings, progress);
            if (!outcome.ok())
                anyFailed = true;
            reporter.pictureDone(jobs[i], outcome);
            if (options.disc && outcome.ok()) {
                conversions[i] = std::move(outcome.conversion);
                streams[i] = std::move(outcome.stream);
            }
        }
    };

    // This thread works too, so the batch still finishes if no helper thread
    // can be started.
    const std::size_t workers = std::min<std::size_t>(
        static_cast<std::size_t>(std::max(options.threads, 1)), jobs.size());
    const std::size_t helpers = workers > 0 ? workers - 1 : 0;
    std::vector<std::jthread> pool;
    try {
        for (std::size_t i = 0; i < helpers; ++i)
            pool.emplace_back(work);
    } catch (const std::system_error&) {
    }
    work();
    pool.clear();  // joins the helpers
    reporter.finish();
    return anyFailed;
}

}  // namespace

ExitStatus runBatch(const Options& options)
{
    // Kept for the disc images, which are made once every picture is converted.
    std::vector<std::optional<Conversion>> conversions(options.disc ? options.jobs.size() : 0);
    std::vector<std::vector<std::uint8_t>> streams(conversions.size());
    bool anyFailed = convertAll(options, conversions, streams);
    if (options.disc && writeDiscs(*options.disc, options.jobs, conversions, streams, options.verbose) != kExitConverted)
        anyFailed = true;
    return anyFailed ? kExitFailed : kExitConverted;
}
