#pragma once

#include "ui/window_arguments.h"

class frmMain;

// Opens the picture named on the command line as File › "Open..." would, so
// a desktop's "Open With" converts it; a file that looks like a screen or a
// disc image (looksLikeScreen) is opened as File › "Open Screen..." would. Without one nothing happens. Names
// after the first are not opened; the status bar says so for a while.
void openStartPicture(frmMain& window, const StartPictures& pictures);
