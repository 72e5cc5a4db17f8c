#pragma once

#include "ui/disc_options_dialog.h"
#include "ui/edit/edit_canvas.h"
#include "ui/user_dialogs.h"
#include "ui/window_controller.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

struct Conversion;
class PalettePanel;
class QActionGroup;
class QComboBox;
class QLabel;
class QScrollArea;
class QUndoGroup;
class ScreenDocument;

// What to do with unsaved edits before they would be lost.
enum class UnsavedAnswer { Save, Discard, Cancel };
// Asks it about the document called `name`.
using UnsavedQuestion = std::function<UnsavedAnswer(QWidget* parent, const QString& name)>;
// The standard question box: Save, Discard or Cancel.
UnsavedAnswer askAboutUnsavedEdits(QWidget* parent, const QString& name);

// The "Edit" window: one screen document (see ScreenDocument) drawn at 1x
// to 16x (EditCanvas), the tools, the colours (PalettePanel), undo and redo,
// where the pointer is (pixel and the address of its byte), and the
// document's saves: Save and Save As (the screen's file set, all or
// nothing), Save Preview As, Export Disc Image and Export into Slideshow. Its shortcuts (tools P,
// L, R, F, K; Ctrl+Z, Ctrl+Shift+Z, Ctrl+S) work in this window only.
// Unsaved edits are never dropped without asking: not by another document,
// nor by closing the window. A teletext screen is shown without tools.
class EditWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit EditWindow(QWidget* parent = nullptr);
    ~EditWindow() override;

    // Shows `document` in place of the one on show, once the unsaved edits
    // of that one are saved or dropped; false, keeping it, when the user
    // cancels (or its save fails).
    bool offer(std::unique_ptr<ScreenDocument> document);
    // A new conversion on show in the main window: it replaces a document
    // made from an earlier conversion (asking first about unsaved edits);
    // a screen opened from a file stays.
    void conversionArrived(const Conversion& conversion, const QString& name);
    // Whether the document on show may be dropped: no unsaved edits, or the
    // user saved or discarded them.
    bool settleUnsavedEdits();

    ScreenDocument* document() const { return document_.get(); }
    EditCanvas* canvas() const { return canvas_; }
    PalettePanel* palettePanel() const { return palette_; }
    void setTool(EditTool tool);

    // Save writes the document's file (Save As when it has none); both say
    // whether the files were written.
    bool save();
    bool saveAs();
    void savePreviewAs();
    void exportDisc();
    // The screen first, then the pictures chosen (converted with the main
    // window's options), as slideshow discs: asked of the main window,
    // which converts and writes slideshows (slideshowAsked).
    void exportSlideshow();

    void setSaveChooser(SaveChooser chooser) { chooseSave_ = std::move(chooser); }
    void setMessageReporter(MessageReporter reporter) { report_ = std::move(reporter); }
    void setUnsavedQuestion(UnsavedQuestion question) { askUnsaved_ = std::move(question); }
    void setDiscOptionsChooser(DiscOptionsChooser chooser) { chooseDiscOptions_ = std::move(chooser); }
    void setPicturesChooser(FilesChooser chooser) { choosePictures_ = std::move(chooser); }

signals:
    void slideshowAsked(const SlideshowRequest& request);

public:

    // The zoom choices, each screen pixel this many times its display size.
    static constexpr int kZooms[] = {1, 2, 4, 8, 16};

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createControls();
    void showDocument(std::unique_ptr<ScreenDocument> document);
    void showState();
    void showPointer(std::optional<ScreenPoint> point);
    void showStatus(const QString& text);
    QString askWhereToSave(const SaveRequest& request);
    bool writeScreen(const QString& path);

    std::unique_ptr<ScreenDocument> document_;
    EditCanvas* canvas_ = nullptr;
    PalettePanel* palette_ = nullptr;
    QScrollArea* scroller_ = nullptr;
    QComboBox* cboZoom_ = nullptr;
    QLabel* lblPointer_ = nullptr;
    QActionGroup* tools_ = nullptr;
    QUndoGroup* undoGroup_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QList<QAction*> documentActions_;  // need a document
    QString saveFolder_;
    DiscOptions discOptions_;
    SaveChooser chooseSave_ = chooseFileToSave;
    MessageReporter report_ = showMessageBox;
    UnsavedQuestion askUnsaved_ = askAboutUnsavedEdits;
    DiscOptionsChooser chooseDiscOptions_ = chooseDiscOptions;
    FilesChooser choosePictures_ = chooseFilesToOpen;
};
