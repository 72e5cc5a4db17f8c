#include "ui/frm_main.h"

#include "conversion/conversion_pass.h"
#include "conversion/conversion_state.h"
#include "conversion/methods/picture_conversion.h"
#include "outputs/screen_files.h"
#include "picture/picture_loader.h"
#include "picture/picture_sampling.h"
#include "ui/busy_cursor.h"
#include "ui/canvas.h"
#include "ui/conversion_settings.h"
#include "ui/dropped_file.h"
#include "ui/frm_about.h"
#include "ui/menu_bar.h"
#include "ui/picture_options.h"
#include "ui/screen_exports.h"
#include "ui/status_texts.h"
#include "ui/view_window.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <utility>

namespace {

// How long a drawn picture stays on screen before it is sampled and converted.
constexpr int kSamplingDelayMs = 1000;

// The area under the menu bar that holds the controls at fixed places. It
// asks for exactly the room they were laid out in; when the window is resized
// the controls stay where they are.
class ContentArea final : public QWidget {
public:
    explicit ContentArea(QWidget* parent) : QWidget(parent) {}
    QSize sizeHint() const override { return QSize(kContentWidth, kContentHeight); }
    QSize minimumSizeHint() const override { return QSize(0, 0); }
};

}  // namespace

frmMain::frmMain(std::unique_ptr<ConversionState> state, QWidget* parent)
    : QMainWindow(parent), state_(std::move(state))
{
    Q_ASSERT(state_);
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Rasterine"));
    setAcceptDrops(true);
    CreateControls();
    AddMenuHandlers();
    setMinimumSize(64, 64);
    resize(sizeHint());
    Open();
}

frmMain::~frmMain() = default;

void frmMain::CreateControls()
{
    auto* content = new ContentArea(this);
    content->setObjectName(QStringLiteral("content"));
    setCentralWidget(content);
    controls_ = createMainWindowControls(content);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kSamplingDelayMs);
    // Qt's default coarse timers may fire up to 5 % early or late, 50 ms
    // either way: early, the picture would be sampled before its full second
    // on screen; late adds more than the rest of a conversion takes.
    Timer1->setTimerType(Qt::PreciseTimer);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    statusBar()->addWidget(lblStatus, 1);
    CreatePictureOptions();

    // The handlers follow the controls' values, however they change: a
    // click, the keyboard, or Open selecting the start values.
    connect(controls_.optMode, &QButtonGroup::idToggled, this, &frmMain::optMode_Action);
    connect(controls_.optTone, &QButtonGroup::idToggled, this, &frmMain::optTone_Action);
    connect(controls_.chkStagger, &QCheckBox::toggled, this, &frmMain::chkStagger_Action);
    connect(controls_.cmdConvert, &QPushButton::clicked, this, &frmMain::cmdConvert_Action);
    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Action);
}

// The picture options, the runner that converts with them and the progress
// bar that shows how far a slow conversion has got.
void frmMain::CreatePictureOptions()
{
    pictureOptions_ = new PictureOptions(controls_.options, [this] { return int(state_->curmode); }, this);
    connect(pictureOptions_, &PictureOptions::changed, this, &frmMain::pictureOptionChanged);
    connect(pictureOptions_, &PictureOptions::refused, this, &frmMain::showStatus);

    prgConvert = new QProgressBar(this);
    prgConvert->setObjectName(QStringLiteral("prgConvert"));
    prgConvert->setRange(0, 100);
    prgConvert->setMaximumWidth(160);
    prgConvert->hide();
    statusBar()->addPermanentWidget(prgConvert);

    runner_ = new ConversionRunner(this);
    connect(runner_, &ConversionRunner::finished, this, &frmMain::conversionArrived);
    connect(runner_, &ConversionRunner::busyChanged, prgConvert, &QWidget::setVisible);
    connect(runner_, &ConversionRunner::progressed, prgConvert, &QProgressBar::setValue);
}

void frmMain::AddMenuHandlers()
{
    const MenuBarItems items = buildMenuBar(menuBar());
    connect(items.mnuFileExit, &QAction::triggered, this, &frmMain::_mnuFileExit_Action);
    connect(items.mnuFileOpen, &QAction::triggered, this, &frmMain::_mnuFileOpen_Action);
    mnuFileExportDisc = items.mnuFileExportDisc;
    mnuFileSaveScreenAs = items.mnuFileSaveScreenAs;
    mnuFileSavePreviewAs = items.mnuFileSavePreviewAs;
    for (QAction* save : {mnuFileExportDisc, mnuFileSaveScreenAs, mnuFileSavePreviewAs})
        save->setEnabled(false);
    connect(mnuFileExportDisc, &QAction::triggered, this, &frmMain::_mnuFileExportDisc_Action);
    connect(mnuFileSaveScreenAs, &QAction::triggered, this, &frmMain::_mnuFileSaveScreenAs_Action);
    connect(mnuFileSavePreviewAs, &QAction::triggered, this, &frmMain::_mnuFileSavePreviewAs_Action);
    viewWindow_ = new ViewWindow(this);
    connect(items.mnuViewScreen, &QAction::triggered, this, &frmMain::_mnuViewScreen_Action);
    connect(items.mnuHelpAbout, &QAction::triggered, this, &frmMain::_mnuHelpAbout_Action);
}

void frmMain::Open()
{
    show();
    state_->setStartValues();
    controls_.optMode->button(2)->setChecked(true);  // "Mode 2"
    controls_.optTone->button(0)->setChecked(true);  // "None"
}

void frmMain::optMode_Action(int index, bool checked)
{
    if (checked && index >= 0 && index < int(kModeOfButton.size())) {
        state_->curmode = kModeOfButton[static_cast<std::size_t>(index)];
        // Mode 7 reads neither the half-tone nor Stagger: greyed out while it
        // is chosen, and as they were when a bitmap mode is chosen again.
        const bool bitmapMode = findScreenMode(state_->curmode) != nullptr;
        for (QAbstractButton* tone : controls_.optTone->buttons())
            tone->setEnabled(bitmapMode);
        controls_.chkStagger->setEnabled(bitmapMode);
        pictureOptions_->modePicked();
    }
}

void frmMain::optTone_Action(int index, bool checked)
{
    if (checked)
        state_->htone = index;
}

void frmMain::chkStagger_Action()
{
    state_->stagger = controls_.chkStagger->isChecked();
}

void frmMain::cmdConvert_Action()
{
    cmdConvert_Click();
}

// Converts the planes as they are, with the options of this moment, into the
// preview and "$.screen" plus its .inf in the working folder. A quick
// conversion runs to its end without handing control back to the event loop,
// and the message box about a failure does not wait; a slow one runs on the
// worker thread and is written when it arrives. Should anything run the event
// loop meanwhile, a "Convert" asked for is put off until this conversion has
// ended (once, however often it was asked), so two never run at once.
void frmMain::cmdConvert_Click()
{
    if (converting_) {
        convertQueued_ = true;
        return;
    }
    converting_ = true;
    startConversion(ConversionJob::Purpose::Write);
}

Settings frmMain::nextSettings() const
{
    return conversionSettings(*state_, pictureOptions_->settings());
}

void frmMain::startConversion(ConversionJob::Purpose purpose)
{
    ConversionJob job{purpose, nextSettings(), state_.get(), nullptr, nullptr,
                      sampledPicture_.isNull() ? controls_.picImage2->image() : sampledPicture_};
    const bool slow = job.settings.method == Method::Dbs;
    // Framing and adjusting make the planes again: on a copy, so the window's
    // keep the picture as sampled.
    if (readsSource(job.settings)) {
        const auto source = sampledSource_.get(*state_);
        if (!source) {
            sourceFailed(purpose, source.failure());
            return;
        }
        job.source = source.value();
    }
    if (slow || readsSource(job.settings)) {
        job.ownState = std::make_unique<ConversionState>(*state_);
        job.state = job.ownState.get();
    }
    runner_->run(std::move(job), slow);
}

void frmMain::sourceFailed(ConversionJob::Purpose purpose, const Failure& failure)
{
    const QString path = QString::fromStdString(failure.subject);
    const QString reason = QString::fromStdString(failure.reason);
    showStatus(openFailedStatus(path, reason));
    if (purpose == ConversionJob::Purpose::Preview)
        return;
    report_(this, openFailedMessage(path, reason));
    emit conversionFinished(false);
    writingEnded();
}

void frmMain::conversionArrived(const ConversionOutcome& outcome)
{
    controls_.picImage2->drawPicture(outcome.preview);
    lastConversion_ = std::make_unique<Conversion>(outcome.conversion);
    for (QAction* save : {mnuFileExportDisc, mnuFileSaveScreenAs, mnuFileSavePreviewAs})
        save->setEnabled(true);
    viewWindow_->showConversion(outcome.conversion, pictureOptions_->settings().fit);
    pictureOptions_->showPalette(outcome.conversion);
    if (outcome.purpose == ConversionJob::Purpose::Preview) {
        showStatus(previewStatus());
        return;
    }
    writeAndReport();
    writingEnded();
}

void frmMain::writeAndReport()
{
    const Status written = writeScreenFiles(kScreenFileName, *lastConversion_);
    const QString folder = currentFolderForDisplay();
    if (!written) {
        showStatus(writeFailedStatus(written.failure(), folder));
        report_(this, writeFailedMessage(written.failure(), folder));
    } else {
        showStatus(writtenStatus(folder, sampledWarning_));
    }
    emit conversionFinished(written.ok());
}

// A "Convert" asked for meanwhile runs next, and shows the options too; else
// a picture option changed meanwhile is shown.
void frmMain::writingEnded()
{
    converting_ = false;
    if (std::exchange(convertQueued_, false)) {
        previewQueued_ = false;
        QMetaObject::invokeMethod(this, &frmMain::cmdConvert_Click, Qt::QueuedConnection);
    } else if (std::exchange(previewQueued_, false)) {
        QMetaObject::invokeMethod(this, &frmMain::pictureOptionChanged, Qt::QueuedConnection);
    }
}

// A new picture option shows at once on the picture sampled last; nothing is
// written until Timer1 or "Convert".
void frmMain::pictureOptionChanged()
{
    if (sampledPicture_.isNull())
        return;
    if (converting_) {
        previewQueued_ = true;
        return;
    }
    startConversion(ConversionJob::Purpose::Preview);
}

// Samples the picture on show and converts it. During a conversion the planes
// must not change, so the sampling waits another period; the picture sampled
// is always the one opened last.
void frmMain::Timer1_Action()
{
    if (converting_) {
        Timer1->start();
        return;
    }
    Timer1->stop();
    const QImage& source = controls_.picImage1->image();
    samplePicture(source, *state_);
    sampledPicture_ = source;
    sampledSource_.resetTo(openedPath_);
    viewWindow_->showSourceFile(openedPath_);
    sampledWarning_ = openedWarning_;
    controls_.picImage2->drawPicture(source);
    cmdConvert_Click();
}

void frmMain::_mnuFileOpen_Action()
{
    const QString path = chooseFile_(this);
    if (path.isEmpty())
        return;  // cancelled: nothing changes
    openPicture(path);
}

// A picture that cannot be opened leaves the canvases, the planes and the
// timer as they were. A good one is drawn and (re)arms the timer, so after
// several quick opens only the last picture is sampled, once.
void frmMain::openPicture(const QString& path)
{
    const Result<LoadedPicture> picture = [&path] {
        BusyCursor busy;
        return loadPicture(path);
    }();
    if (!picture.ok()) {
        showStatus(openFailedStatus(path, failureReason(picture.failure())));
        report_(this, openFailedMessage(path, failureReason(picture.failure())));
        return;
    }
    controls_.picImage1->drawPicture(picture.value().image);
    openedPath_ = path;
    openedWarning_ = picture.value().warning;
    Timer1->start();
    showStatus(openedStatus(path, picture.value().warning));
}

void frmMain::_mnuFileExportDisc_Action()
{
    QString path = askWhereToSave({QStringLiteral("Export Disc Image"), QStringLiteral("picture.ssd"),
                                   QStringLiteral("DFS disc images (*.ssd);;Any (*)")});
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ssd");
    const std::optional<DiscOptions> options = chooseDiscOptions_(this, discOptions_, false);
    if (!options)
        return;
    discOptions_ = *options;
    reportSaved(exportDiscImage(path, *lastConversion_, options->tracks, options->title), {path});
}

void frmMain::_mnuFileSaveScreenAs_Action()
{
    const QString path = askWhereToSave({QStringLiteral("Save Screen As"), QString::fromLatin1(kScreenFileName),
                                         QStringLiteral("Any (*)")});
    if (path.isEmpty())
        return;
    reportSaved(saveScreenFiles(path, *lastConversion_), {path, path + QStringLiteral(".inf")});
}

void frmMain::_mnuFileSavePreviewAs_Action()
{
    QString path = askWhereToSave({QStringLiteral("Save Preview As"), QStringLiteral("screen.png"),
                                   QStringLiteral("PNG pictures (*.png);;Any (*)")});
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    reportSaved(savePreviewPicture(path, *lastConversion_), {path});
}

void frmMain::_mnuViewScreen_Action()
{
    viewWindow_->show();
    viewWindow_->raise();
    viewWindow_->activateWindow();
}

QString frmMain::askWhereToSave(const SaveRequest& request)
{
    const QString folder = saveFolder_.isEmpty() ? QDir::currentPath() : saveFolder_;
    const QString path = chooseSave_(this, {request.caption, QDir(folder).filePath(request.startAt), request.filter});
    if (!path.isEmpty())
        saveFolder_ = QFileInfo(path).absolutePath();
    return path;
}

void frmMain::reportSaved(const Status& saved, const QStringList& files)
{
    if (saved) {
        showStatus(savedStatus(files));
        return;
    }
    showStatus(saveFailedStatus(saved.failure()));
    report_(this, saveFailedMessage(saved.failure()));
}

void frmMain::_mnuFileExit_Action()
{
    QCoreApplication::quit();
}

void frmMain::_mnuHelpAbout_Action()
{
    frmAbout about(this);
    about.exec();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    event->accept();
    QCoreApplication::quit();
}

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

// The picture is opened once the drop has finished, so the application the
// file was dragged from is not kept waiting while it decodes.
void frmMain::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    QMetaObject::invokeMethod(this, [this, path] { openPicture(path); }, Qt::QueuedConnection);
}

void frmMain::showStatus(const QString& text)
{
    lblStatus->setText(text);
}
