#pragma once

class QAction;
class QMenuBar;

// The items of the main window's menu bar that do something.
struct MenuBarItems {
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileOpenScreen = nullptr;
    QAction* mnuFileExportDisc = nullptr;
    QAction* mnuFileSaveScreenAs = nullptr;
    QAction* mnuFileSavePreviewAs = nullptr;
    QAction* mnuFileExportSlideshow = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuViewScreen = nullptr;
    QAction* mnuViewEdit = nullptr;
    QAction* mnuHelpAbout = nullptr;
};

// Fills `bar` with "&File" ("Open...", "Open Screen...", "Export Disc
// Image...", "Save Screen As...", "Save Preview As...", "Export Slideshow
// Disc...", a separator, "E&xit"), "&View" ("Screen and Source", "Edit
// Screen") and "&Help" ("About..."). The
// ampersands mark access keys; no item has a keyboard shortcut. Menus and
// items are named after their role (mnuFile, mnuFileOpen...). The items
// added beside the original ones say in the status line what they do.
MenuBarItems buildMenuBar(QMenuBar* bar);
