#pragma once

#include "ui/window_arguments.h"

class frmMain;

// Opens the picture named on the command line as File › "Open..." would, so
// a desktop's "Open With" converts it. Without one nothing happens. Names
// after the first are not opened; the status bar says so for a while.
void openStartPicture(frmMain& window, const StartPictures& pictures);
