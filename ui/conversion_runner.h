#pragma once

#include "conversion/conversion_pass.h"
#include "conversion/conversion_state.h"
#include "conversion/linear_image.h"
#include "conversion/settings.h"

#include <QFuture>
#include <QImage>
#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>

// One conversion the window asks for, with everything it reads.
struct ConversionJob {
    // A preview only shows; a conversion for Timer1 or "Convert" also writes.
    enum class Purpose { Preview, Write };

    Purpose purpose = Purpose::Preview;
    Settings settings;
    // The state converted: the window's own, or `ownState`, a copy, when the
    // conversion runs on a worker thread or makes the planes again.
    ConversionState* state = nullptr;
    std::unique_ptr<ConversionState> ownState;
    std::shared_ptr<const LinearImage> source;  // empty when the settings do not read it
    QImage preview;                             // 320 x 256; the conversion paints over it
};

struct ConversionOutcome {
    ConversionJob::Purpose purpose = ConversionJob::Purpose::Preview;
    Conversion conversion;
    QImage preview;
};

// Runs the window's conversions through convertWithSettings, the engine's one
// entry: quick ones at once, slow ones on a worker thread, one at a time.
// Each job asked for supersedes every earlier one, whose outcome is then
// never announced; one running on the worker is abandoned at its next
// progress report, and a slow job asked for meanwhile waits for that,
// taking the place of any job already waiting.
class ConversionRunner final : public QObject {
    Q_OBJECT
public:
    explicit ConversionRunner(QObject* parent = nullptr);
    ~ConversionRunner() override;  // waits for a conversion still running

    // `inBackground` runs the job on a worker thread; its state must then be
    // its own copy. Otherwise `finished` is emitted before this returns.
    void run(ConversionJob job, bool inBackground);

signals:
    // Whether the latest job is running (or waiting) on the worker thread.
    void busyChanged(bool busy);
    void progressed(int percent);  // how far the latest job on the worker has got
    void finished(const ConversionOutcome& outcome);

private:
    void start(std::shared_ptr<ConversionJob> job);
    // `outcome` is empty when the job was abandoned.
    void arrived(std::shared_ptr<const ConversionOutcome> outcome, std::uint64_t generation);
    void setBusy(bool busy);

    std::atomic<std::uint64_t> generation_ = 0;  // of the latest job asked for; the worker reads it
    bool running_ = false;          // a worker is converting
    bool busy_ = false;
    std::shared_ptr<ConversionJob> waiting_;
    QFuture<void> worker_;
};
