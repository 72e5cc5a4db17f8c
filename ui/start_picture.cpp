#include "ui/start_picture.h"

#include "ui/frm_main.h"

#include <QFileInfo>

void openStartPicture(frmMain& window, const QStringList& arguments)
{
    if (arguments.size() < 2 || arguments.at(1).isEmpty())
        return;
    // Named as the open dialog would name it, whatever the folder it was given from.
    window.openPicture(QFileInfo(arguments.at(1)).absoluteFilePath());
}
