#include "ui/edit/edit_window.h"

#include "ui/busy_cursor.h"
#include "ui/edit/palette_panel.h"
#include "ui/edit/screen_document.h"
#include "ui/screen_exports.h"
#include "recipe/disc_files.h"
#include "ui/status_texts.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoGroup>
#include <QVBoxLayout>

namespace {

struct ToolRow {
    EditTool tool;
    const char* name;
    const char* text;
    Qt::Key key;
    const char* tip;
};

constexpr ToolRow kToolRows[] = {
    {EditTool::Pencil, "actPencil", "&Pencil", Qt::Key_P, "Draws pixels where the pointer is dragged (P)"},
    {EditTool::Line, "actLine", "&Line", Qt::Key_L, "Draws a straight line from press to release (L)"},
    {EditTool::Rectangle, "actRectangle", "&Rectangle", Qt::Key_R, "Draws a rectangle's outline from corner to corner (R)"},
    {EditTool::Fill, "actFill", "&Fill", Qt::Key_F, "Fills the area of one colour around the pixel clicked (F)"},
    {EditTool::Picker, "actPicker", "Colour Pic&ker", Qt::Key_K, "Takes the colour of the pixel clicked (K)"},
};

// An action of this window alone: its shortcut works while the window or
// one of its controls has the focus, never in the main window.
QAction* windowAction(QWidget* window, const char* name, const QString& text, const QKeySequence& keys = {})
{
    auto* action = new QAction(text, window);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    window->addAction(action);
    return action;
}

QString addressText(const Screen& screen, ScreenPoint point)
{
    if (screen.isTeletext()) {
        // The chip draws 16 x 20 pixels a character cell, 40 to a row.
        const int column = point.x / 16, row = point.y / 20;
        return QStringLiteral("Column %1, row %2  &%3")
            .arg(column)
            .arg(row)
            .arg(screen.screenStart() + std::uint32_t(row * 40 + column), 4, 16, QLatin1Char('0'))
            .toUpper();
    }
    return QStringLiteral("X %1, Y %2  &%3")
        .arg(point.x)
        .arg(point.y)
        .arg(QString::number(pixelAddress(screen, point.x, point.y), 16).toUpper());
}

}  // namespace

UnsavedAnswer askAboutUnsavedEdits(QWidget* parent, const QString& name)
{
    const auto answer = QMessageBox::question(parent, QStringLiteral("Unsaved Edits"),
                                              QStringLiteral("Save the edits to %1 before they are lost?").arg(name),
                                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                              QMessageBox::Save);
    return answer == QMessageBox::Save ? UnsavedAnswer::Save
           : answer == QMessageBox::Discard ? UnsavedAnswer::Discard
                                            : UnsavedAnswer::Cancel;
}

EditWindow::EditWindow(QWidget* parent) : QMainWindow(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmEdit"));
    undoGroup_ = new QUndoGroup(this);
    createControls();
    createActions();
    showDocument(nullptr);
    resize(760, 720);
}

EditWindow::~EditWindow()
{
    // The canvas and the panel let go of the document before it goes.
    canvas_->setDocument(nullptr);
    palette_->setDocument(nullptr);
}

void EditWindow::createControls()
{
    canvas_ = new EditCanvas;
    canvas_->setObjectName(QStringLiteral("picEdit"));
    scroller_ = new QScrollArea(this);
    scroller_->setObjectName(QStringLiteral("scrEdit"));
    scroller_->setWidget(canvas_);
    palette_ = new PalettePanel(this);
    palette_->setObjectName(QStringLiteral("palColours"));
    cboZoom_ = new QComboBox(this);
    cboZoom_->setObjectName(QStringLiteral("cboZoom"));
    for (const int zoom : kZooms)
        cboZoom_->addItem(QStringLiteral("%1×").arg(zoom));
    cboZoom_->setToolTip(QStringLiteral("How large each screen pixel is drawn; a grid shows between large ones"));
    lblPointer_ = new QLabel(this);
    lblPointer_->setObjectName(QStringLiteral("lblPointer"));
    statusBar()->addPermanentWidget(lblPointer_);

    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(palette_);
    layout->addWidget(scroller_, 1);
    setCentralWidget(content);

    connect(cboZoom_, &QComboBox::currentIndexChanged, this,
            [this](int index) { canvas_->setZoom(kZooms[std::clamp(index, 0, int(std::size(kZooms)) - 1)]); });
    connect(canvas_, &EditCanvas::hovered, this, &EditWindow::showPointer);
    connect(canvas_, &EditCanvas::lineChosen, palette_, &PalettePanel::setLine);
    connect(canvas_, &EditCanvas::picked, palette_, &PalettePanel::setColour);
    connect(canvas_, &EditCanvas::picked, canvas_, &EditCanvas::setColour);
    connect(palette_, &PalettePanel::colourChosen, canvas_, &EditCanvas::setColour);
}

void EditWindow::createActions()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* save = windowAction(this, "actSave", QStringLiteral("&Save"), QKeySequence::Save);
    QAction* saveAs = windowAction(this, "actSaveAs", QStringLiteral("Save &As..."));
    QAction* preview = windowAction(this, "actSavePreviewAs", QStringLiteral("Save &Preview As..."));
    QAction* disc = windowAction(this, "actExportDisc", QStringLiteral("&Export Disc Image..."));
    QAction* slideshow = windowAction(this, "actExportSlideshow", QStringLiteral("Export into Slides&how..."));
    QAction* close = windowAction(this, "actClose", QStringLiteral("&Close"));
    file->addActions({save, saveAs, preview, disc, slideshow});
    file->addSeparator();
    file->addAction(close);
    connect(save, &QAction::triggered, this, &EditWindow::save);
    connect(saveAs, &QAction::triggered, this, &EditWindow::saveAs);
    connect(preview, &QAction::triggered, this, &EditWindow::savePreviewAs);
    connect(disc, &QAction::triggered, this, &EditWindow::exportDisc);
    connect(slideshow, &QAction::triggered, this, &EditWindow::exportSlideshow);
    connect(close, &QAction::triggered, this, &QWidget::close);
    documentActions_ = {save, saveAs, preview, disc, slideshow};

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    undo_ = windowAction(this, "actUndo", QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = windowAction(this, "actRedo", QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    edit->addActions({undo_, redo_});
    // Not in the middle of a stroke: the stroke becomes its command when the
    // button is let go.
    connect(undo_, &QAction::triggered, this, [this] {
        if (document_ && !document_->inStroke())
            document_->undoStack().undo();
    });
    connect(redo_, &QAction::triggered, this, [this] {
        if (document_ && !document_->inStroke())
            document_->undoStack().redo();
    });
    connect(undoGroup_, &QUndoGroup::canUndoChanged, undo_, &QAction::setEnabled);
    connect(undoGroup_, &QUndoGroup::canRedoChanged, redo_, &QAction::setEnabled);

    QToolBar* bar = addToolBar(QStringLiteral("Tools"));
    bar->setObjectName(QStringLiteral("barTools"));
    tools_ = new QActionGroup(this);
    for (const ToolRow& row : kToolRows) {
        QAction* action = windowAction(this, row.name, QString::fromLatin1(row.text), QKeySequence(row.key));
        action->setCheckable(true);
        action->setToolTip(QString::fromLatin1(row.tip));
        action->setData(static_cast<int>(row.tool));
        tools_->addAction(action);
        bar->addAction(action);
        connect(action, &QAction::triggered, this, [this, tool = row.tool] { setTool(tool); });
    }
    tools_->actions().front()->setChecked(true);
    bar->addSeparator();
    bar->addAction(undo_);
    bar->addAction(redo_);
    bar->addSeparator();
    bar->addWidget(cboZoom_);
}

void EditWindow::setTool(EditTool tool)
{
    canvas_->setTool(tool);
    for (QAction* action : tools_->actions())
        action->setChecked(action->data().toInt() == static_cast<int>(tool));
}

bool EditWindow::offer(std::unique_ptr<ScreenDocument> document)
{
    if (!settleUnsavedEdits())
        return false;
    showDocument(std::move(document));
    return true;
}

void EditWindow::conversionArrived(const Conversion& conversion, const QString& name)
{
    if (!document_ || !document_->fromConversion() || document_->madeFrom(conversion))
        return;
    offer(std::make_unique<ScreenDocument>(conversion, name, QString(), true));
}

bool EditWindow::settleUnsavedEdits()
{
    if (!document_ || !document_->modified())
        return true;
    switch (askUnsaved_(this, document_->name())) {
    case UnsavedAnswer::Save:
        return save();
    case UnsavedAnswer::Discard:
        return true;
    case UnsavedAnswer::Cancel:
        break;
    }
    return false;
}

void EditWindow::showDocument(std::unique_ptr<ScreenDocument> document)
{
    canvas_->setDocument(document.get());
    palette_->setDocument(document.get());
    if (document_)
        undoGroup_->removeStack(&document_->undoStack());
    document_ = std::move(document);
    if (document_) {
        undoGroup_->addStack(&document_->undoStack());
        undoGroup_->setActiveStack(&document_->undoStack());
        connect(document_.get(), &ScreenDocument::stateChanged, this, &EditWindow::showState);
        canvas_->setColour(palette_->colour());
    }
    const bool editable = document_ && document_->editable();
    for (QAction* tool : tools_->actions())
        tool->setEnabled(editable);
    palette_->setVisible(editable);
    for (QAction* action : documentActions_)
        action->setEnabled(document_ != nullptr);
    undo_->setEnabled(false);
    redo_->setEnabled(false);
    showState();
}

void EditWindow::showState()
{
    const QString name = document_ ? document_->name() : QStringLiteral("No screen");
    const QString what = document_ && !document_->editable() ? QStringLiteral("Rasterine View") : QStringLiteral("Rasterine Edit");
    setWindowTitle(QStringLiteral("%1[*] — %2").arg(name, what));
    setWindowModified(document_ && document_->modified());
}

void EditWindow::showPointer(std::optional<ScreenPoint> point)
{
    lblPointer_->setText(point && document_ ? addressText(document_->screen(), *point) : QString());
}

void EditWindow::showStatus(const QString& text)
{
    statusBar()->showMessage(text);
}

void EditWindow::closeEvent(QCloseEvent* event)
{
    if (!settleUnsavedEdits()) {
        event->ignore();
        return;
    }
    // Closed, the edits are saved or dropped: the window holds no document
    // that a later conversion could ask about.
    showDocument(nullptr);
    event->accept();
}

QString EditWindow::askWhereToSave(const SaveRequest& request)
{
    const QString folder = saveFolder_.isEmpty() ? QDir::currentPath() : saveFolder_;
    const QString path = chooseSave_(this, {request.caption, QDir(folder).filePath(request.startAt), request.filter});
    if (path.isEmpty())
        showStatus(cancelledStatus(request.caption));
    else
        saveFolder_ = QFileInfo(path).absolutePath();
    return path;
}

bool EditWindow::save()
{
    if (!document_)
        return false;
    if (document_->path().isEmpty())
        return saveAs();
    return writeScreen(document_->path());
}

bool EditWindow::saveAs()
{
    if (!document_)
        return false;
    const QString start = document_->path().isEmpty() ? document_->name() : QFileInfo(document_->path()).fileName();
    const QString path = askWhereToSave({QStringLiteral("Save Screen As"), start, QStringLiteral("Any (*)")});
    return !path.isEmpty() && writeScreen(path);
}

// The screen file and the rest of its set, all written or none; the
// document is clean only once they are.
bool EditWindow::writeScreen(const QString& path)
{
    const auto saved = saveScreenFiles(path, document_->conversion());
    if (!saved) {
        showStatus(saveFailedStatus(saved.failure()));
        report_(this, saveFailedMessage(saved.failure()));
        return false;
    }
    document_->markSaved(path, QFileInfo(path).fileName());
    showStatus(savedStatus(saved.value()));
    return true;
}

void EditWindow::savePreviewAs()
{
    if (!document_)
        return;
    QString path = askWhereToSave({QStringLiteral("Save Preview As"), document_->name() + QStringLiteral(".png"),
                                   QStringLiteral("PNG pictures (*.png);;Any (*)")});
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    const Status saved = savePreviewPicture(path, document_->conversion());
    showStatus(saved ? savedStatus(QStringList{path}) : saveFailedStatus(saved.failure()));
    if (!saved)
        report_(this, saveFailedMessage(saved.failure()));
}

void EditWindow::exportDisc()
{
    if (!document_)
        return;
    QString path = askWhereToSave({QStringLiteral("Export Disc Image"), document_->name() + QStringLiteral(".ssd"),
                                   QStringLiteral("DFS disc images (*.ssd);;Any (*)")});
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ssd");
    const std::optional<DiscOptions> options = chooseDiscOptions_(this, discOptions_, false);
    if (!options) {
        showStatus(cancelledStatus(QStringLiteral("Export Disc Image")));
        return;
    }
    discOptions_ = *options;
    const Status saved = [&] {
        BusyCursor busy;
        return exportDiscImage(path, document_->conversion(), options->tracks, options->title, options->search());
    }();
    showStatus(saved ? savedStatus(QStringList{path}) : saveFailedStatus(saved.failure()));
    if (!saved)
        report_(this, saveFailedMessage(saved.failure()));
}

// The pictures that follow the screen, then the disc file (its ending says
// which kind), then the discs' size and delay; cancelling any does nothing.
void EditWindow::exportSlideshow()
{
    if (!document_)
        return;
    const QString caption = QStringLiteral("Export into Slideshow");
    const QStringList pictures = choosePictures_(this);
    if (pictures.isEmpty()) {
        showStatus(cancelledStatus(caption));
        return;
    }
    QString path = askWhereToSave({caption, QStringLiteral("slideshow.ssd"),
                                   QStringLiteral("DFS disc images (*.ssd);;Double-sided DFS disc images (*.dsd);;"
                                                  "MMB files for MMFS (*.mmb);;Any (*)")});
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ssd");
    const std::optional<DiscOptions> options = chooseDiscOptions_(this, discOptions_, true);
    if (!options) {
        showStatus(cancelledStatus(caption));
        return;
    }
    discOptions_ = *options;
    SlideshowRequest request;
    request.ready.push_back({QFileInfo(document_->name()).completeBaseName(), document_->conversion()});
    request.pictures = pictures;
    request.file = path;
    request.disc = DiscSettings{options->tracks, options->delaySeconds, true, discKind(path)};
    request.search = options->search();
    emit slideshowAsked(request);
}
