#pragma once

class QButtonGroup;
class QProgressBar;
class QWidget;

// The tooltips of the main window's controls added beside its own that
// PictureOptions does not give: the "Mode 7 (Teletext)" button, the
// "Method and Picture" group, the progress bar, and each caption label,
// which shows the tooltip of the control it names. Called once the picture
// options have their tooltips; the window's own controls keep none.
void addMainWindowTips(QWidget* content, QButtonGroup* optMode, QProgressBar* progress);
