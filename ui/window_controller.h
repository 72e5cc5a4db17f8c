#pragma once

#include "conversion/conversion.h"
#include "conversion/settings.h"
#include "outputs/boot_discs.h"
#include "outputs/compression/zx02.h"
#include "ui/decoded_picture.h"
#include "ui/user_dialogs.h"

#include <QFuture>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

struct ConversionJob;
struct ConversionOutcome;

// A screen made already (an edited document) shown in a slideshow before
// its pictures, under `name`.
struct ReadySlide {
    QString name;
    Conversion conversion;
};

// A slideshow asked for with File › "Export Slideshow Disc..." (or the Edit
// window's "Export into Slideshow..."): the screens made already and then
// the pictures, in showing order, the disc file chosen (FILE-1.ssd,
// FILE-2.ssd ... when they need several) and what the discs are made with.
struct SlideshowRequest {
    QStringList pictures;
    QString file;
    DiscSettings disc;
    Zx02Search search = Zx02Search::Quick;  // how compressed discs' screens are packed
    std::vector<ReadySlide> ready;          // shown before the pictures
};

// A disc asked for with File › "Export Disc Image...": where it goes and
// what it is made with.
struct DiscExport {
    QString file;
    int tracks = 80;
    QString title;
    Zx02Search search = Zx02Search::Quick;
};

// What the main window converts, when, and what it writes; the window only
// binds its controls to it and shows what it reports.
//
// It holds the one copy of the settings of the next conversion (the mode,
// half-tone and Stagger the original controls set, and the picture options
// beside them), the picture opened last and the one sampled (each read from
// its file once, see DecodedPicture), the conversion on show, and writes
// "$.screen" and its .inf into the working folder. The View window, the
// saves and the exports all read the picture and the conversion from here.
//
// Scheduling: quick work runs at once, before the call returns; slow work
// (what the option catalogue calls slow: direct binary search, the thorough
// packing of a disc, every slideshow) runs on a worker thread, and a slow
// conversion reports its progress and can be stopped. Any new conversion
// stops a slow preview that is still running, whose result is then never
// shown. A conversion that writes is never overtaken: "Convert" asked for
// meanwhile runs once it has ended (once, however often it was asked), and
// a preview asked for meanwhile follows it. A slideshow export is scheduled
// as a conversion that writes; the "Convert" that follows it reports after
// the slideshow's summary, which stays on show.
class WindowController final : public QObject {
    Q_OBJECT
public:
    enum class Purpose { Preview, Write };

    explicit WindowController(QObject* parent = nullptr);
    // Stops a slow conversion still running and waits for the workers.
    ~WindowController() override;

    // The settings of the next conversion, as the controls set them; they
    // take effect at the next conversion.
    const Settings& settings() const { return settings_; }
    void setSettings(const Settings& settings) { settings_ = settings; }
    // The three the original controls set, by their original names.
    int curmode() const { return settings_.mode; }
    int htone() const { return static_cast<int>(settings_.halftone); }
    bool stagger() const { return settings_.stagger; }
    void setCurmode(int mode) { settings_.mode = mode; }
    void setHtone(int htone) { settings_.halftone = static_cast<Halftone>(htone); }
    void setStagger(bool stagger) { settings_.stagger = stagger; }
    // Mode 2, half-tone "None", Stagger off: what the window opens with.
    void setStartValues();
    // The settings a conversion started now is made with: those the next
    // conversion does not read (greyed out in the window) at their defaults.
    Settings nextSettings() const;

    // Decodes the picture at `path`; reports pictureOpened or, when it cannot
    // be opened, a problem, leaving the picture opened before in place.
    bool open(const QString& path);
    // Samples the picture opened last and converts it for writing. False,
    // doing nothing, while a conversion that writes runs: the picture it
    // converts must not change under it.
    bool sampleAndConvert();
    // Converts the sampled picture with the settings of this moment. Without
    // a sampled picture a preview does nothing and a write writes nothing.
    void convert(Purpose purpose);
    // Stops the slow conversion running, if any, and what was asked for
    // after it; a stopped write writes nothing.
    void stop();
    // Converts every picture of `request` with the settings of this moment,
    // each as the command line does (convertPictureFile), on the worker
    // thread with its progress reported, then writes the discs all or none.
    // A picture that cannot be read writes nothing and is a problem naming
    // it. False, doing nothing, while a conversion that writes runs.
    bool exportSlideshow(const SlideshowRequest& request);
    // Writes the conversion on show as a bootable disc (exportDiscImage),
    // on the worker thread when its packing is slow; reports `saved`.
    void exportDisc(const DiscExport& request);

    bool writing() const { return writing_; }
    bool hasPicture() const { return sampled_ != nullptr; }
    // The picture sampled last, which conversions read; null before one.
    const DecodedPicture* sampledPicture() const { return sampled_.get(); }
    QString sampledPath() const { return sampled_ ? sampled_->path() : QString(); }
    // The conversion on show and the settings it was made with; null before
    // the first.
    const Conversion* lastConversion() const { return last_.get(); }
    const Settings* lastSettings() const { return last_ ? &last_->settings : nullptr; }

signals:
    void statusChanged(const QString& text);
    // Something the user must be told at once (a picture that cannot be
    // opened, files that cannot be written).
    void problem(const UserMessage& message);
    void pictureOpened(const QImage& canvas);
    // `canvas` was sampled; its conversion follows.
    void sampled(const QImage& canvas);
    // A conversion arrived: shown in `preview`, written or not.
    void converted(const Conversion& conversion, const QImage& preview);
    // Whether a slow conversion is running on the worker thread.
    void busyChanged(bool busy);
    void progressed(int percent);
    // After every conversion that writes, whether both files were written.
    void conversionFinished(bool written);
    // After every slideshow export, whether its discs were written.
    void slideshowFinished(bool written);
    // A disc export ended: written as `files`, or not, and why.
    void saved(const Status& status, const QStringList& files);

private:
    void start(Purpose purpose);
    // The larger source of the sampled picture could not be decoded.
    void sourceFailed(Purpose purpose, const Failure& failure);
    void startOnWorker(std::shared_ptr<ConversionJob> job);
    // The queued call that reports `percent` to the window while `id` runs.
    void reportProgress(std::uint64_t id, int percent);
    void slideshowArrived(std::uint64_t id, const SlideshowRequest& request,
                          std::shared_ptr<Result<DiscSet>> discs);
    void writeSlideshow(const SlideshowRequest& request, const DiscSet& discs);
    void slideshowFailed(const Failure& failure);
    void arrived(std::uint64_t id, std::shared_ptr<std::optional<ConversionOutcome>> outcome);
    void deliver(ConversionOutcome outcome);
    void writeAndReport();
    void writingEnded(bool slideshowEnded = false);
    void stopRunning();
    void setBusy(bool busy);
    void report(const QString& status);

    // A slow conversion on the worker thread: which one, and how to stop it.
    struct Running {
        std::uint64_t id = 0;
        Purpose purpose = Purpose::Preview;
        bool slideshow = false;
        std::stop_source stop;
    };

    Settings settings_;
    std::shared_ptr<const DecodedPicture> opened_;
    std::shared_ptr<const DecodedPicture> sampled_;
    // Shared with a disc being packed on the worker thread, never copied.
    std::shared_ptr<const Conversion> last_;
    std::optional<Running> running_;
    std::uint64_t lastId_ = 0;
    // From the start of a conversion that writes until its files are written
    // and reported, so that nothing reached meanwhile (a message box running
    // an event loop, a slow method's worker) starts another one.
    bool writing_ = false;
    bool writeQueued_ = false;
    bool previewQueued_ = false;
    bool busy_ = false;
    // A slideshow's summary, kept on show before the statuses of the
    // "Convert" asked for while it ran, until that conversion has ended.
    QString earlier_;
    QString status_;  // the status reported last
    // Workers still running, stopped ones included; waited for at the end.
    std::vector<QFuture<void>> workers_;
};
