#pragma once

#include "conversion/classic/conversion_state.h"
#include "ui/canvas.h"
#include "ui/frm_main.h"

#include <QAbstractButton>
#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QImage>
#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <vector>

// Makes a temporary folder the working folder, where the window writes
// "$.screen", and restores the previous one afterwards.
class ScratchWorkingFolder {
public:
    ScratchWorkingFolder();
    ~ScratchWorkingFolder();
    QString file(const QString& name) const { return folder_.filePath(name); }
    QString path() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
    QString previous_;
};

// The real main window as the program opens it. Only the open dialog and the
// message boxes are replaced: the dialog answers with `nextFile`, and messages
// are collected in `messages`. Timer1 keeps its 1000 ms unless `quickTimer`,
// which shortens it so tests need not wait a second for every picture.
class WindowUnderTest {
public:
    explicit WindowUnderTest(bool quickTimer = true);

    frmMain window;
    QString nextFile;
    int dialogsShown = 0;
    QList<UserMessage> messages;

    QAbstractButton* modeButton(int index) const;
    QAbstractButton* toneButton(int index) const;
    QCheckBox* chkStagger() const;
    QPushButton* cmdConvert() const;
    Canvas* picImage1() const;
    Canvas* picImage2() const;
    QTimer* Timer1() const;
    QLabel* lblStatus() const;
    QAction* menuItem(const char* name) const;
    // The picture options' controls, by name ("cboMethod", "spnGamma", ...).
    QComboBox* comboBox(const char* name) const;
    QDoubleSpinBox* numberBox(const char* name) const;
    QLineEdit* txtPalette() const;
    QLabel* lblPalette() const;
    QProgressBar* prgConvert() const;
    QPushButton* cmdStop() const;

    // File › "Open..." with the dialog answering `path` ("" cancels).
    void openThroughMenu(const QString& path);
    // Picks "These colours:", types `colours` beside it and presses Return.
    void typePalette(const QString& colours);
    // Waits for the next conversion that writes to finish; false if none came.
    bool waitForConversion(int timeoutMs = 10000);
};

// Everything a failed open or write must leave as it was: the canvases, the
// picture sampled, the settings, the timer and the two files in the working
// folder.
struct WindowSnapshot {
    QImage source, preview;
    const DecodedPicture* sampled;
    Settings settings;
    bool timerActive;
    QByteArray screen, inf;

    explicit WindowSnapshot(const WindowUnderTest& test);
    bool matches(const WindowUnderTest& test) const;
};

// What the engine gives for `picture` sampled into fresh planes with these
// options: the state after the conversion, the preview painted over a copy of
// the picture, and the two files' bytes.
struct EngineConversion {
    std::unique_ptr<ConversionState> state;
    QImage preview;
    QByteArray screen;
    QByteArray inf;
};
EngineConversion engineConversion(const QImage& picture, int curmode, int htone, bool stagger);

QByteArray readFile(const QString& path);

// One file in a DFS disc's catalogue: its name ("$.SCREEN") and its bytes.
struct DiscEntry {
    QString name;
    QByteArray bytes;
};
// The files of the single-sided DFS disc `disc`, as its catalogue (sectors
// 0 and 1) lists them.
QList<DiscEntry> discCatalogue(const QByteArray& disc);
// The bytes of the file `name` on `disc`; empty when it is not there.
QByteArray discFile(const QByteArray& disc, const QString& name);

// Clicks a button with the mouse near its left end, where radio buttons and
// check boxes take clicks (on the indicator, not the empty space beside a
// short caption).
void clickOn(QAbstractButton* button);

// Whether the window sampled `picture` (as the engine's planes would hold
// it) and holds the mode, half-tone and Stagger of `expected`.
bool samePlanesAndOptions(const frmMain& window, const ConversionState& expected);
