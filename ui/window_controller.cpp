#include "ui/window_controller.h"

#include "conversion/entry/convert.h"
#include "conversion/painter.h"
#include "conversion/option_catalogue.h"
#include "outputs/compression/zx02.h"
#include "outputs/screen_files.h"
#include "picture/picture_loader.h"
#include "picture/picture_source.h"
#include "platform/file_output.h"
#include "recipe/disc_files.h"
#include "recipe/picture_recipe.h"
#include "ui/screen_exports.h"
#include "ui/status_texts.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <functional>
#include <utility>

// One conversion asked for, with everything it reads.
struct ConversionJob {
    WindowController::Purpose purpose = WindowController::Purpose::Preview;
    Settings settings;
    std::shared_ptr<const LinearImage> source;  // empty when the settings do not read it
    QImage preview;                             // 320 x 256; the conversion paints over it
};

struct ConversionOutcome {
    WindowController::Purpose purpose = WindowController::Purpose::Preview;
    Conversion conversion;
    QImage preview;
};

namespace {

// The one call into the engine; nothing when `stop` was requested before it
// ended.
std::optional<ConversionOutcome> convertJob(ConversionJob& job, const ProgressReport& progress,
                                            std::stop_token stop)
{
    Result<Conversion> made =
        convert(job.settings, SourcePicture{canvasPixels(job.preview), job.source}, progress, stop);
    if (!made) {
        // The window's settings never have a problem: only a stop gets here.
        Q_ASSERT(wasStopped(made.failure()));
        return std::nullopt;
    }
    QImage preview = surfaceImage(canvasPicture(made.value().screen));
    return ConversionOutcome{job.purpose, std::move(made).value(), preview};
}

// Tells the window, from the worker thread, which picture of a slideshow
// is being converted and how far the whole show has got.
struct SlideshowProgress {
    std::function<void(int number)> picture;
    ProgressReport fraction;
};

// Every picture of `request` converted as the command line converts it
// (and packed, for a compressed disc, so that packing too shows progress
// and can be stopped), then laid out on discs; Failure::stopped() when
// `stop` was requested first.
Result<DiscSet> makeSlideshow(const SlideshowRequest& request, const Settings& settings,
                              const SlideshowProgress& progress, std::stop_token stop)
{
    const auto count = static_cast<double>(request.pictures.size());
    std::vector<Conversion> conversions;
    std::vector<std::vector<std::uint8_t>> streams;
    const auto packing = request.disc.compress ? std::optional(request.search) : std::nullopt;
    for (qsizetype i = 0; i < request.pictures.size(); ++i) {
        if (stop.stop_requested())
            return Failure::stopped();
        progress.picture(int(i) + 1);
        const auto partly = [&progress, i, count](double part) { progress.fraction((double(i) + part) / count); };
        Result<ConvertedPicture> converted = convertPictureFile(request.pictures[i], settings, packing, partly, stop);
        if (!converted)
            return converted.failure();
        conversions.push_back(std::move(converted.value().conversion));
        streams.push_back(std::move(converted.value().stream));
        progress.fraction(double(i + 1) / count);  // the quick methods tell no progress of their own
    }
    std::vector<Slide> slides;
    for (const ReadySlide& ready : request.ready)
        slides.push_back({ready.name.toStdString(), &ready.conversion});
    for (qsizetype i = 0; i < request.pictures.size(); ++i)
        slides.push_back({fileStem(request.pictures[i]).toStdString(), &conversions[static_cast<std::size_t>(i)],
                          streams[static_cast<std::size_t>(i)]});
    return makeDiscSet(slides, request.disc);
}

}  // namespace

WindowController::WindowController(QObject* parent) : QObject(parent) {}

WindowController::~WindowController()
{
    stopRunning();
    for (QFuture<void>& worker : workers_)
        worker.waitForFinished();
}

void WindowController::setStartValues()
{
    const Settings start;
    settings_.mode = start.mode;
    settings_.halftone = start.halftone;
    settings_.stagger = start.stagger;
}

Settings WindowController::nextSettings() const
{
    return withUnreadAtDefaults(settings_);
}

bool WindowController::open(const QString& path)
{
    Result<DecodedPicture> picture = DecodedPicture::open(path);
    if (!picture) {
        const QString reason = failureReason(picture.failure());
        report(openFailedStatus(path, reason));
        emit problem(openFailedMessage(path, reason));
        return false;
    }
    opened_ = std::make_shared<const DecodedPicture>(std::move(picture).value());
    emit pictureOpened(opened_->canvas());
    report(openedStatus(path));
    return true;
}

bool WindowController::sampleAndConvert()
{
    if (writing_)
        return false;
    if (opened_) {
        sampled_ = opened_;
        emit sampled(sampled_->canvas());
    }
    convert(Purpose::Write);
    return true;
}

void WindowController::convert(Purpose purpose)
{
    if (writing_) {
        (purpose == Purpose::Write ? writeQueued_ : previewQueued_) = true;
        return;
    }
    if (!sampled_) {
        if (purpose == Purpose::Write) {
            report(nothingToConvertStatus());
            earlier_.clear();
            emit conversionFinished(false);
        }
        return;
    }
    stopRunning();  // only a preview can be running here
    start(purpose);
}

// The engine makes its own planes from the picture for every conversion,
// so a conversion on the worker shares nothing the window changes.
void WindowController::start(Purpose purpose)
{
    auto job = std::make_shared<ConversionJob>();
    job->purpose = purpose;
    job->settings = nextSettings();
    job->preview = sampled_->canvas();
    if (readsDetail(job->settings)) {
        const auto source = sampled_->linearSource();
        if (!source) {
            sourceFailed(purpose, source.failure());
            return;
        }
        job->source = source.value();
    }
    writing_ = purpose == Purpose::Write;
    if (slow(job->settings)) {
        startOnWorker(std::move(job));
        return;
    }
    std::optional<ConversionOutcome> outcome = convertJob(*job, {}, {});
    Q_ASSERT(outcome);  // nothing can stop it
    deliver(std::move(*outcome));
}

void WindowController::sourceFailed(Purpose purpose, const Failure& failure)
{
    const QString path = QString::fromStdString(failure.subject);
    const QString reason = QString::fromStdString(failure.reason);
    report(openFailedStatus(path, reason));
    earlier_.clear();
    if (purpose == Purpose::Preview)
        return;
    emit problem(openFailedMessage(path, reason));
    emit conversionFinished(false);
}

// The worker reports back through queued calls, which Qt drops should the
// controller be gone; the destructor waits for the worker, so `this`
// outlives every call made.
void WindowController::startOnWorker(std::shared_ptr<ConversionJob> job)
{
    running_ = Running{++lastId_, job->purpose, false, {}};
    const std::uint64_t id = running_->id;
    const std::stop_token stop = running_->stop.get_token();
    report(slowConversionStatus(job->purpose == Purpose::Write));
    setBusy(true);
    emit progressed(0);
    std::erase_if(workers_, [](const QFuture<void>& worker) { return worker.isFinished(); });
    workers_.push_back(QtConcurrent::run([this, job, id, stop] {
        int shown = 0;
        const ProgressReport progress = [this, id, &shown](double fraction) {
            const int percent = static_cast<int>(fraction * 100);
            if (percent <= shown)
                return;
            shown = percent;
            reportProgress(id, percent);
        };
        auto outcome = std::make_shared<std::optional<ConversionOutcome>>(convertJob(*job, progress, stop));
        QMetaObject::invokeMethod(this, [this, id, outcome] { arrived(id, outcome); }, Qt::QueuedConnection);
    }));
}

void WindowController::reportProgress(std::uint64_t id, int percent)
{
    QMetaObject::invokeMethod(this, [this, id, percent] {
            if (running_ && running_->id == id)
                emit progressed(percent);
        }, Qt::QueuedConnection);
}

// A stopped or overtaken conversion arrives too late: it is dropped.
void WindowController::arrived(std::uint64_t id, std::shared_ptr<std::optional<ConversionOutcome>> outcome)
{
    if (!running_ || running_->id != id || !*outcome)
        return;
    running_.reset();
    setBusy(false);
    deliver(std::move(**outcome));
}

void WindowController::deliver(ConversionOutcome outcome)
{
    last_ = std::make_shared<const Conversion>(std::move(outcome.conversion));
    emit converted(*last_, outcome.preview);
    if (outcome.purpose == Purpose::Preview) {
        report(withNote(previewStatus(), last_->note));
        return;
    }
    writeAndReport();
    writingEnded();
}

void WindowController::writeAndReport()
{
    const auto written = replaceFiles(screenFileSet(kScreenFileName, *last_));
    const QString folder = currentFolderForDisplay();
    if (written) {
        report(withNote(writtenStatus(written.value(), folder), last_->note));
    } else {
        report(writeFailedStatus(written.failure(), folder));
        emit problem(writeFailedMessage(written.failure(), folder));
    }
    emit conversionFinished(written.ok());
}

// A "Convert" asked for meanwhile runs next, and shows the options too; else
// a preview asked for meanwhile follows. A slideshow's summary stays on show
// before what that "Convert" reports, until it has ended.
void WindowController::writingEnded(bool slideshowEnded)
{
    writing_ = false;
    earlier_ = slideshowEnded && writeQueued_ ? status_ : QString();
    if (std::exchange(writeQueued_, false)) {
        previewQueued_ = false;
        QMetaObject::invokeMethod(this, [this] { convert(Purpose::Write); }, Qt::QueuedConnection);
    } else if (std::exchange(previewQueued_, false)) {
        QMetaObject::invokeMethod(this, [this] { convert(Purpose::Preview); }, Qt::QueuedConnection);
    }
}

bool WindowController::exportSlideshow(const SlideshowRequest& request)
{
    if (writing_)
        return false;
    stopRunning();  // only a preview can be running here
    writing_ = true;
    running_ = Running{++lastId_, Purpose::Write, true, {}};
    const std::uint64_t id = running_->id;
    const std::stop_token stop = running_->stop.get_token();
    const Settings settings = nextSettings();
    setBusy(true);
    emit progressed(0);
    std::erase_if(workers_, [](const QFuture<void>& worker) { return worker.isFinished(); });
    workers_.push_back(QtConcurrent::run([this, request, settings, id, stop] {
        int shown = 0;
        const SlideshowProgress progress{
            [this, id, &request](int number) {
                const QString status = slideshowProgressStatus(number, int(request.pictures.size()),
                                                               request.pictures[number - 1]);
                QMetaObject::invokeMethod(this, [this, id, status] {
                        if (running_ && running_->id == id)
                            report(status);
                    }, Qt::QueuedConnection);
            },
            [this, id, &shown](double fraction) {
                const int percent = static_cast<int>(fraction * 100);
                if (percent > shown)
                    reportProgress(id, shown = percent);
            }};
        auto discs = std::make_shared<Result<DiscSet>>(makeSlideshow(request, settings, progress, stop));
        QMetaObject::invokeMethod(this, [this, id, request, discs] { slideshowArrived(id, request, discs); },
                                  Qt::QueuedConnection);
    }));
    return true;
}

// A stopped slideshow arrives too late and is dropped; a finished one is
// written on this thread, as every other file the window writes.
void WindowController::slideshowArrived(std::uint64_t id, const SlideshowRequest& request,
                                        std::shared_ptr<Result<DiscSet>> discs)
{
    const Result<DiscSet>& made = *discs;
    if (!running_ || running_->id != id || (!made && made.failure().wasStopped()))
        return;
    running_.reset();
    setBusy(false);
    if (made)
        writeSlideshow(request, made.value());
    else
        slideshowFailed(made.failure());
    writingEnded(true);
}

void WindowController::writeSlideshow(const SlideshowRequest& request, const DiscSet& discs)
{
    const QStringList files = numberedFiles(request.file, discs.files.size());
    if (const auto picture = overwrittenPicture(files, request.pictures)) {
        slideshowFailed(Failure{picture->toStdString(), "it would be overwritten by the disc"});
        return;
    }
    if (const auto written = replaceFiles(discFileSet(files, discs)); !written) {
        slideshowFailed(Failure{written.failure().subject, "cannot write it: " + written.failure().reason});
        return;
    }
    report(slideshowWrittenStatus(int(request.ready.size() + std::size_t(request.pictures.size())),
                                  int(discCount(discs, request.disc.kind)), files));
    emit slideshowFinished(true);
}

void WindowController::slideshowFailed(const Failure& failure)
{
    report(slideshowFailedStatus(failure));
    emit problem(slideshowFailedMessage(failure));
    emit slideshowFinished(false);
}

void WindowController::stop()
{
    if (!running_)
        return;
    const bool writes = running_->purpose == Purpose::Write;
    const bool slideshow = running_->slideshow;
    stopRunning();
    writeQueued_ = previewQueued_ = false;
    earlier_.clear();
    if (slideshow) {
        report(slideshowStoppedStatus());
        writing_ = false;
        emit slideshowFinished(false);
        return;
    }
    report(stoppedStatus(writes));
    if (writes) {
        writing_ = false;
        emit conversionFinished(false);
    }
}

void WindowController::stopRunning()
{
    if (!running_)
        return;
    running_->stop.request_stop();
    running_.reset();
    setBusy(false);
}

void WindowController::setBusy(bool busy)
{
    if (busy != busy_)
        emit busyChanged(busy_ = busy);
}

void WindowController::report(const QString& status)
{
    status_ = status;
    emit statusChanged(earlier_.isEmpty() ? status : followingStatus(earlier_, status));
}

void WindowController::exportDisc(const DiscExport& request)
{
    Q_ASSERT(last_);
    const auto pack = [request, shown = last_] {
        return exportDiscImage(request.file, *shown, request.tracks, request.title, request.search);
    };
    if (!packingRow(request.search == Zx02Search::Thorough).slow()) {
        emit saved(pack(), {request.file});
        return;
    }
    report(packingStatus(request.file));
    std::erase_if(workers_, [](const QFuture<void>& worker) { return worker.isFinished(); });
    workers_.push_back(QtConcurrent::run([this, request, pack] {
        auto status = std::make_shared<Status>(pack());
        QMetaObject::invokeMethod(this, [this, request, status] { emit saved(*status, {request.file}); },
                                  Qt::QueuedConnection);
    }));
}
