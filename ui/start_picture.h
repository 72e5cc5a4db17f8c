#pragma once

#include <QStringList>

class frmMain;

// Opens the picture named after the program in `arguments` (as
// QCoreApplication::arguments gives them, Qt's own options taken out) as
// File › "Open..." would, so a desktop's "Open With" converts it. Without
// one nothing happens; any further names are ignored.
void openStartPicture(frmMain& window, const QStringList& arguments);
