#include "ui/conversion_runner.h"

#include "conversion/methods/picture_conversion.h"
#include "picture/qimage_surface.h"

#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <cassert>

namespace {

ConversionOutcome convertJob(ConversionJob& job, const ProgressReport& progress)
{
    static const LinearImage kNoSource;
    QImageSurface surface(job.preview);
    Conversion conversion =
        convertWithSettings(job.settings, *job.state, job.source ? *job.source : kNoSource, surface, progress);
    return {job.purpose, std::move(conversion), job.preview};
}

}  // namespace

ConversionRunner::ConversionRunner(QObject* parent) : QObject(parent) {}

ConversionRunner::~ConversionRunner()
{
    worker_.waitForFinished();
}

void ConversionRunner::run(ConversionJob job, bool inBackground)
{
    ++generation_;
    waiting_.reset();
    if (!inBackground) {
        setBusy(false);
        const ConversionOutcome outcome = convertJob(job, {});
        emit finished(outcome);
        return;
    }
    assert(job.ownState && job.state == job.ownState.get());
    auto shared = std::make_shared<ConversionJob>(std::move(job));
    setBusy(true);
    emit progressed(0);
    if (running_)
        waiting_ = std::move(shared);
    else
        start(std::move(shared));
}

// Thrown by a superseded job's progress report to abandon it: the engine
// holds nothing that needs more than unwinding.
struct Superseded {};

// The worker reports back through queued calls, which Qt drops should the
// runner be gone; the destructor waits for the worker, so `this` outlives it.
void ConversionRunner::start(std::shared_ptr<ConversionJob> job)
{
    running_ = true;
    const std::uint64_t generation = generation_;
    worker_ = QtConcurrent::run([this, job, generation] {
        auto shown = std::make_shared<std::atomic<int>>(0);
        const ProgressReport progress = [this, shown, generation](double fraction) {
            if (generation != generation_)
                throw Superseded{};
            const int percent = static_cast<int>(fraction * 100);
            if (percent <= shown->load())
                return;
            shown->store(percent);
            QMetaObject::invokeMethod(this, [this, percent, generation] {
                    if (generation == generation_)
                        emit progressed(percent);
                }, Qt::QueuedConnection);
        };
        std::shared_ptr<const ConversionOutcome> outcome;
        try {
            outcome = std::make_shared<const ConversionOutcome>(convertJob(*job, progress));
        } catch (const Superseded&) {
        }
        QMetaObject::invokeMethod(this, [this, outcome, generation] { arrived(outcome, generation); },
                                  Qt::QueuedConnection);
    });
}

void ConversionRunner::arrived(std::shared_ptr<const ConversionOutcome> outcome, std::uint64_t generation)
{
    running_ = false;
    if (waiting_) {
        start(std::move(waiting_));
        waiting_.reset();
        return;
    }
    if (!outcome || generation != generation_)
        return;
    setBusy(false);
    emit finished(*outcome);
}

void ConversionRunner::setBusy(bool busy)
{
    if (busy != busy_)
        emit busyChanged(busy_ = busy);
}
