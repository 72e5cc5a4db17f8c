#pragma once

#include "conversion/settings.h"
#include "ui/disc_options_dialog.h"
#include "ui/frm_main_controls.h"
#include "platform/failure.h"
#include "ui/user_dialogs.h"
#include "ui/window_controller.h"

#include <QImage>
#include <QMainWindow>
#include <QStringList>

#include <memory>

struct Conversion;
class PictureOptions;
class QAction;
class QLabel;
class QProgressBar;
class QPushButton;
class StatusLine;
class QTimer;
class ViewWindow;
class EditWindow;

// The main window: the converted picture on the left (picImage2), the source
// on the right (picImage1), the mode, half-tone and "Stagger" options, the
// "Convert" button, the picture options beside them, the menus and a status
// line.
//
// The window binds its controls to a WindowController, which holds the
// settings, the pictures, the conversions and the files, and shows what it
// reports. The mode, half-tone and stagger controls store into the
// controller's settings and convert nothing. The picture options
// (PictureOptions) set the method, palette, fit and adjustments there too;
// each new value the user picks there shows the sampled picture converted
// with it at once, writing nothing. An opened picture is sampled and converted once, one Timer1
// period after it was drawn; "Convert" converts the sampled picture again
// with the options of that moment. Each of these two writes "$.screen" and
// "$.screen.inf" into the working folder. Direct binary search runs on a
// worker thread with its progress and a "Stop" button beside the status
// line; closing the window stops it.
// The conversion on show is kept: File › "Export Disc Image..." writes it as
// a bootable disc and "Save Screen As..." as a screen file and .inf wherever
// the user chooses; both are disabled until there is a conversion.
// File › "Export Slideshow Disc..." converts several pictures chosen with
// the options on show, on the worker thread with the same progress and
// "Stop", into slideshow discs written all or none (WindowController).
class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and opens it: the window is shown with "Mode 2",
    // "None" and "Stagger" off, the start values.
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // What is converted, how, and what was converted last.
    const WindowController& controller() const { return *controller_; }
    // The settings a conversion started now is made with.
    Settings nextSettings() const;

    // The open dialog and the message boxes, replaceable so that tests can
    // answer and observe them without a person at the screen.
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void setMessageReporter(MessageReporter reporter) { report_ = std::move(reporter); }
    void setSaveChooser(SaveChooser chooser) { chooseSave_ = std::move(chooser); }
    void setDiscOptionsChooser(DiscOptionsChooser chooser) { chooseDiscOptions_ = std::move(chooser); }
    void setPicturesChooser(FilesChooser chooser) { choosePictures_ = std::move(chooser); }

    // Everything File › "Open..." does once a file has been chosen.
    void openPicture(const QString& path);
    // Everything File › "Open Screen..." does once a file has been chosen:
    // the screen read (openScreen) and shown in the Edit window.
    void openScreenFile(const QString& path);
    // The View window (View › "Screen and Source"), hidden until asked for.
    ViewWindow* viewWindow() const { return viewWindow_; }
    // The Edit window (View › "Edit Screen", the View window's "Edit", File ›
    // "Open Screen..."), hidden until asked for. A window of its own, not a
    // child: its shortcuts are its own.
    EditWindow* editWindow() const { return editWindow_.get(); }
    // The conversion on show taken into the Edit window as a document.
    void editConversion();

signals:
    // After every conversion, whether both files were written.
    void conversionFinished(bool written);
    // After every slideshow export, whether its discs were written.
    void slideshowFinished(bool written);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();
    void CreatePictureOptions();
    void AddMenuHandlers();
    void Open();

    void optMode_Action(int index, bool checked);
    void optTone_Action(int index, bool checked);
    void chkStagger_Action();
    void showReadOptions();
    void cmdConvert_Action();
    void cmdConvert_Click();
    void cmdStop_Action();
    void pictureOptionChanged();
    void conversionShown(const Conversion& conversion, const QImage& preview);
    void showPaletteOfMode();
    void Timer1_Action();
    void _mnuFileOpen_Action();
    void _mnuFileOpenScreen_Action();
    QString pictureName() const;
    void showEditWindow();
    void _mnuFileExportDisc_Action();
    void _mnuFileSaveScreenAs_Action();
    void _mnuFileSavePreviewAs_Action();
    void _mnuFileExportSlideshow_Action();
    void _mnuViewScreen_Action();
    void _mnuFileExit_Action();
    void _mnuHelpAbout_Action();

    void showStatus(const QString& text);
    // An entry the picture options did not take is shown over the status
    // until an entry is taken; then the status is shown again.
    void showRefusal(const QString& text);
    // The save dialog, starting in the folder saved to last this session
    // (at first the working folder); remembers the folder chosen.
    QString askWhereToSave(const SaveRequest& request);
    void reportSaved(const Status& saved, const QStringList& files);
    // Where a disc goes and what it is made with: the save dialog (a name
    // without an extension gets ".ssd"), then the disc options, offered as
    // chosen last, with the delay for a slideshow; nothing when either is
    // cancelled.
    struct DiscChoice {
        QString path;
        DiscOptions options;
    };
    std::optional<DiscChoice> askForDisc(const SaveRequest& request, bool slideshow);

    std::unique_ptr<WindowController> controller_;
    MainWindowControls controls_;
    PictureOptions* pictureOptions_ = nullptr;
    QTimer* Timer1 = nullptr;
    StatusLine* lblStatus = nullptr;
    QProgressBar* prgConvert = nullptr;
    QPushButton* cmdStop = nullptr;
    QString status_;  // the status on show, refusals aside
    QAction* mnuFileExportDisc = nullptr;
    QAction* mnuFileSaveScreenAs = nullptr;
    QAction* mnuFileSavePreviewAs = nullptr;
    QAction* mnuFileExportSlideshow = nullptr;
    ViewWindow* viewWindow_ = nullptr;
    std::unique_ptr<EditWindow> editWindow_;
    QAction* mnuViewEdit = nullptr;
    DiscOptions discOptions_;  // as chosen last this session
    QString saveFolder_;
    FileChooser chooseFile_ = chooseFileToOpen;
    FilesChooser choosePictures_ = chooseFilesToOpen;
    SaveChooser chooseSave_ = chooseFileToSave;
    DiscOptionsChooser chooseDiscOptions_ = chooseDiscOptions;
    MessageReporter report_ = showMessageBox;
};
