#include "ui/frm_main.h"

#include "conversion/option_catalogue.h"
#include "outputs/screen_files.h"
#include "ui/busy_cursor.h"
#include "ui/canvas.h"
#include "ui/control_tips.h"
#include "ui/dropped_file.h"
#include "ui/edit/edit_window.h"
#include "ui/edit/screen_document.h"
#include "ui/frm_about.h"
#include "ui/menu_bar.h"
#include "ui/open_screen.h"
#include "ui/picture_options.h"
#include "ui/screen_exports.h"
#include "ui/status_line.h"
#include "ui/status_texts.h"
#include "ui/view_window.h"
#include "recipe/disc_files.h"

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

frmMain::frmMain(QWidget* parent) : QMainWindow(parent), controller_(std::make_unique<WindowController>())
{
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

    lblStatus = new StatusLine(this);
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

    WindowController* controller = controller_.get();
    connect(controller, &WindowController::statusChanged, this, &frmMain::showStatus);
    connect(controller, &WindowController::problem, this, [this](const UserMessage& message) { report_(this, message); });
    connect(controller, &WindowController::pictureOpened, controls_.picImage1, &Canvas::drawPicture);
    connect(controller, &WindowController::sampled, controls_.picImage2, &Canvas::drawPicture);
    connect(controller, &WindowController::converted, this, &frmMain::conversionShown);
    connect(controller, &WindowController::conversionFinished, this, &frmMain::conversionFinished);
    connect(controller, &WindowController::slideshowFinished, this, &frmMain::slideshowFinished);
    connect(controller, &WindowController::saved, this, &frmMain::reportSaved);
}

// The picture options, and the progress bar and "Stop" button of a slow
// conversion, at the right of the status line.
void frmMain::CreatePictureOptions()
{
    pictureOptions_ = new PictureOptions(controls_.options, *controller_, this);
    connect(pictureOptions_, &PictureOptions::changed, this, &frmMain::pictureOptionChanged);
    connect(pictureOptions_, &PictureOptions::changed, this, &frmMain::showReadOptions);
    connect(pictureOptions_, &PictureOptions::refused, this, &frmMain::showRefusal);
    connect(pictureOptions_, &PictureOptions::accepted, this, [this] { lblStatus->setText(status_); });

    prgConvert = new QProgressBar(this);
    prgConvert->setObjectName(QStringLiteral("prgConvert"));
    prgConvert->setRange(0, 100);
    prgConvert->setMaximumWidth(160);
    prgConvert->hide();
    statusBar()->addPermanentWidget(prgConvert);
    cmdStop = new QPushButton(QStringLiteral("Stop"), this);
    cmdStop->setObjectName(QStringLiteral("cmdStop"));
    cmdStop->setToolTip(QStringLiteral("Stops the conversion; nothing is written"));
    cmdStop->hide();
    statusBar()->addPermanentWidget(cmdStop);

    addMainWindowTips(centralWidget(), controls_.optMode, prgConvert);

    connect(cmdStop, &QPushButton::clicked, this, &frmMain::cmdStop_Action);
    connect(controller_.get(), &WindowController::busyChanged, prgConvert, &QWidget::setVisible);
    connect(controller_.get(), &WindowController::busyChanged, cmdStop, &QWidget::setVisible);
    connect(controller_.get(), &WindowController::progressed, prgConvert, &QProgressBar::setValue);
}

void frmMain::AddMenuHandlers()
{
    const MenuBarItems items = buildMenuBar(menuBar());
    connect(items.mnuFileExit, &QAction::triggered, this, &frmMain::_mnuFileExit_Action);
    connect(items.mnuFileOpen, &QAction::triggered, this, &frmMain::_mnuFileOpen_Action);
    connect(items.mnuFileOpenScreen, &QAction::triggered, this, &frmMain::_mnuFileOpenScreen_Action);
    mnuFileExportDisc = items.mnuFileExportDisc;
    mnuFileSaveScreenAs = items.mnuFileSaveScreenAs;
    mnuFileSavePreviewAs = items.mnuFileSavePreviewAs;
    for (QAction* save : {mnuFileExportDisc, mnuFileSaveScreenAs, mnuFileSavePreviewAs})
        save->setEnabled(false);
    connect(mnuFileExportDisc, &QAction::triggered, this, &frmMain::_mnuFileExportDisc_Action);
    connect(mnuFileSaveScreenAs, &QAction::triggered, this, &frmMain::_mnuFileSaveScreenAs_Action);
    connect(mnuFileSavePreviewAs, &QAction::triggered, this, &frmMain::_mnuFileSavePreviewAs_Action);
    // A slideshow needs no picture on show, only no conversion running.
    mnuFileExportSlideshow = items.mnuFileExportSlideshow;
    connect(mnuFileExportSlideshow, &QAction::triggered, this, &frmMain::_mnuFileExportSlideshow_Action);
    connect(controller_.get(), &WindowController::busyChanged, mnuFileExportSlideshow,
            [this](bool busy) { mnuFileExportSlideshow->setEnabled(!busy); });
    viewWindow_ = new ViewWindow(*controller_, this);
    connect(items.mnuViewScreen, &QAction::triggered, this, &frmMain::_mnuViewScreen_Action);
    editWindow_ = std::make_unique<EditWindow>();
    mnuViewEdit = items.mnuViewEdit;
    mnuViewEdit->setEnabled(false);
    connect(mnuViewEdit, &QAction::triggered, this, &frmMain::editConversion);
    connect(viewWindow_, &ViewWindow::editAsked, this, &frmMain::editConversion);
    connect(editWindow_.get(), &EditWindow::slideshowAsked, this, [this](const SlideshowRequest& request) {
        if (!controller_->exportSlideshow(request))
            showStatus(QStringLiteral("A conversion is being written; export the slideshow once it has ended"));
    });
    connect(items.mnuHelpAbout, &QAction::triggered, this, &frmMain::_mnuHelpAbout_Action);
}

void frmMain::Open()
{
    show();
    controller_->setStartValues();
    controls_.optMode->button(2)->setChecked(true);  // "Mode 2"
    controls_.optTone->button(0)->setChecked(true);  // "None"
}

void frmMain::optMode_Action(int index, bool checked)
{
    if (checked && index >= 0 && index < int(kModeOfButton.size())) {
        controller_->setCurmode(kModeOfButton[static_cast<std::size_t>(index)]);
        pictureOptions_->modePicked();
        showReadOptions();
        showPaletteOfMode();
    }
}

// Mode 7 and the linear-light methods read neither the half-tone nor
// Stagger: greyed out while such a choice holds, and as they were when it
// no longer does.
void frmMain::showReadOptions()
{
    const Settings next = nextSettings();
    for (QAbstractButton* tone : controls_.optTone->buttons())
        tone->setEnabled(readsOption(next, Option::Halftone));
    controls_.chkStagger->setEnabled(readsOption(next, Option::Stagger));
}

void frmMain::optTone_Action(int index, bool checked)
{
    if (checked)
        controller_->setHtone(index);
}

void frmMain::chkStagger_Action()
{
    controller_->setStagger(controls_.chkStagger->isChecked());
}

void frmMain::cmdConvert_Action()
{
    cmdConvert_Click();
}

// Converts the picture sampled last, with the options of this moment, into
// the preview and "$.screen" plus its .inf in the working folder (see
// WindowController for when that happens).
void frmMain::cmdConvert_Click()
{
    controller_->convert(WindowController::Purpose::Write);
}

void frmMain::cmdStop_Action()
{
    controller_->stop();
}

Settings frmMain::nextSettings() const
{
    return controller_->nextSettings();
}

// A new picture option shows at once on the picture sampled last; nothing is
// written until Timer1 or "Convert".
void frmMain::pictureOptionChanged()
{
    lblStatus->setText(status_);
    controller_->convert(WindowController::Purpose::Preview);
}

void frmMain::conversionShown(const Conversion& conversion, const QImage& preview)
{
    controls_.picImage2->drawPicture(preview);
    for (QAction* save : {mnuFileExportDisc, mnuFileSaveScreenAs, mnuFileSavePreviewAs})
        save->setEnabled(true);
    mnuViewEdit->setEnabled(true);
    viewWindow_->redraw();
    pictureOptions_->showPalette(conversion);
    // Asked once this conversion's delivery is over: the question about
    // unsaved edits runs an event loop of its own, which must not run in
    // the middle of it. By then a later conversion may be on show.
    QMetaObject::invokeMethod(this, [this] {
            if (const Conversion* shown = controller_->lastConversion())
                editWindow_->conversionArrived(*shown, pictureName());
        }, Qt::QueuedConnection);
}

// The palette line tells the palette of the picture on the left while the
// mode chosen is the one it was converted in; in another mode that palette
// says nothing about the next conversion, so the line is cleared.
void frmMain::showPaletteOfMode()
{
    const Conversion* shown = controller_->lastConversion();
    if (shown != nullptr && shown->mode() == controller_->curmode())
        pictureOptions_->showPalette(*shown);
    else
        pictureOptions_->clearPalette();
}

// Samples the picture on show and converts it. During a conversion that
// writes, the picture it converts must not change, so the sampling waits
// another period; the picture sampled is always the one opened last.
void frmMain::Timer1_Action()
{
    Timer1->stop();
    if (!controller_->sampleAndConvert()) {
        Timer1->start();
        return;
    }
    viewWindow_->redraw();
}

// The name a document made from the conversion on show goes by: the
// picture's, without its ending.
QString frmMain::pictureName() const
{
    const QString name = QFileInfo(controller_->sampledPath()).completeBaseName();
    return name.isEmpty() ? QStringLiteral("screen") : name;
}

void frmMain::editConversion()
{
    const Conversion* conversion = controller_->lastConversion();
    if (conversion == nullptr)
        return;
    const bool same = editWindow_->document() != nullptr && editWindow_->document()->madeFrom(*conversion);
    if (!same && !editWindow_->offer(std::make_unique<ScreenDocument>(*conversion, pictureName(), QString(), true)))
        return;
    showEditWindow();
}

void frmMain::showEditWindow()
{
    editWindow_->show();
    editWindow_->raise();
    editWindow_->activateWindow();
}

void frmMain::_mnuFileOpenScreen_Action()
{
    const QString path = chooseFile_(this);
    if (path.isEmpty())
        return;  // cancelled: nothing changes
    openScreenFile(path);
}

// A screen that cannot be read (openScreen has said why) or unsaved edits
// the user keeps leave the Edit window as it was.
void frmMain::openScreenFile(const QString& path)
{
    std::optional<OpenedScreen> opened = openScreen(this, path);
    if (!opened)
        return;
    Conversion conversion;
    conversion.settings.mode = opened->screen.modeNumber;
    conversion.settings.nula = opened->screen.hasNula();
    conversion.screen = std::move(opened->screen);
    if (editWindow_->offer(std::make_unique<ScreenDocument>(std::move(conversion), opened->name, opened->path, false)))
        showEditWindow();
}

void frmMain::_mnuFileOpen_Action()
{
    const QString path = chooseFile_(this);
    if (path.isEmpty())
        return;  // cancelled: nothing changes
    openPicture(path);
}

// A picture that cannot be opened leaves the canvases, the picture sampled
// and the timer as they were. A good one is drawn and (re)arms the timer, so after
// several quick opens only the last picture is sampled, once.
void frmMain::openPicture(const QString& path)
{
    const bool opened = [this, &path] {
        BusyCursor busy;
        return controller_->open(path);
    }();
    if (opened)
        Timer1->start();
}

void frmMain::_mnuFileExportDisc_Action()
{
    const auto disc = askForDisc({QStringLiteral("Export Disc Image"), QStringLiteral("picture.ssd"),
                                  QStringLiteral("DFS disc images (*.ssd);;Any (*)")},
                                 false);
    if (!disc)
        return;
    controller_->exportDisc({disc->path, disc->options.tracks, disc->options.title, disc->options.search()});
}

void frmMain::_mnuFileSaveScreenAs_Action()
{
    const QString path = askWhereToSave({QStringLiteral("Save Screen As"), QString::fromLatin1(kScreenFileName),
                                         QStringLiteral("Any (*)")});
    if (path.isEmpty())
        return;
    const auto saved = saveScreenFiles(path, *controller_->lastConversion());
    if (saved)
        showStatus(savedStatus(saved.value()));
    else
        reportSaved(saved.failure(), {});
}

void frmMain::_mnuFileSavePreviewAs_Action()
{
    QString path = askWhereToSave({QStringLiteral("Save Preview As"), QStringLiteral("screen.png"),
                                   QStringLiteral("PNG pictures (*.png);;Any (*)")});
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    reportSaved(savePreviewPicture(path, *controller_->lastConversion()), {path});
}

// The pictures, then the disc file (its ending says which kind: .ssd,
// .dsd or .mmb), then the discs' size and delay; cancelling any of them
// does nothing. The pictures are converted with the options on show.
void frmMain::_mnuFileExportSlideshow_Action()
{
    const QStringList pictures = choosePictures_(this);
    if (pictures.isEmpty()) {
        showStatus(cancelledStatus(QStringLiteral("Export Slideshow Disc")));
        return;
    }
    const auto disc = askForDisc({QStringLiteral("Export Slideshow Disc"), QStringLiteral("slideshow.ssd"),
                                  QStringLiteral("DFS disc images (*.ssd);;Double-sided DFS disc images (*.dsd);;"
                                                 "MMB files for MMFS (*.mmb);;Any (*)")},
                                 true);
    if (!disc)
        return;
    const DiscSettings settings{disc->options.tracks, disc->options.delaySeconds, true, discKind(disc->path)};
    controller_->exportSlideshow({pictures, disc->path, settings, disc->options.search(), {}});
}

std::optional<frmMain::DiscChoice> frmMain::askForDisc(const SaveRequest& request, bool slideshow)
{
    QString path = askWhereToSave(request);
    if (path.isEmpty())
        return std::nullopt;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ssd");
    const std::optional<DiscOptions> options = chooseDiscOptions_(this, discOptions_, slideshow);
    if (!options) {
        showStatus(cancelledStatus(request.caption));
        return std::nullopt;
    }
    discOptions_ = *options;
    return DiscChoice{path, *options};
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
    if (path.isEmpty())
        showStatus(cancelledStatus(request.caption));
    else
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

// Unsaved edits are saved or dropped first, or the program stays.
void frmMain::_mnuFileExit_Action()
{
    if (editWindow_->settleUnsavedEdits())
        QCoreApplication::quit();
}

void frmMain::_mnuHelpAbout_Action()
{
    frmAbout about(this);
    about.exec();
}

// Unsaved edits are saved or dropped first, or the window stays open. A
// slow conversion still running is stopped, not waited for.
void frmMain::closeEvent(QCloseEvent* event)
{
    if (!editWindow_->settleUnsavedEdits()) {
        event->ignore();
        return;
    }
    controller_->stop();
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
    status_ = text;
    lblStatus->setText(text);
}

void frmMain::showRefusal(const QString& text)
{
    lblStatus->setText(text);
}
