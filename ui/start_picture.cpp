#include "ui/start_picture.h"

#include "ui/frm_main.h"
#include "ui/open_screen.h"

#include <QFileInfo>
#include <QStatusBar>

namespace {

// Long enough to be read; the usual status line shows again afterwards.
constexpr int kNoteShownMs = 15000;

}  // namespace

void openStartPicture(frmMain& window, const StartPictures& pictures)
{
    if (pictures.picture.isEmpty())
        return;
    // Named as the open dialog would name it, whatever the folder it was given from.
    const QString path = QFileInfo(pictures.picture).absoluteFilePath();
    if (looksLikeScreen(path))
        window.openScreenFile(path);
    else
        window.openPicture(path);
    if (!pictures.notOpened.isEmpty())
        window.statusBar()->showMessage(notOpenedNote(pictures), kNoteShownMs);
}
