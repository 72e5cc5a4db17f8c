#include "ui/menu_bar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu* addMenu(QMenuBar* bar, const char* name, const char* text)
{
    QMenu* menu = bar->addMenu(QString::fromLatin1(text));
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* addItem(QMenu* menu, const char* name, const char* text)
{
    QAction* item = menu->addAction(QString::fromLatin1(text));
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

}  // namespace

MenuBarItems buildMenuBar(QMenuBar* bar)
{
    bar->setObjectName(QStringLiteral("mnufrmMain"));
    MenuBarItems items;

    QMenu* file = addMenu(bar, "mnuFile", "&File");
    items.mnuFileOpen = addItem(file, "mnuFileOpen", "Open...");
    items.mnuFileOpenScreen = addItem(file, "mnuFileOpenScreen", "Open Screen...");
    items.mnuFileOpenScreen->setStatusTip(
        QStringLiteral("Opens a BBC Micro screen file or disc image in the Edit window"));
    items.mnuFileExportDisc = addItem(file, "mnuFileExportDisc", "Export Disc Image...");
    items.mnuFileSaveScreenAs = addItem(file, "mnuFileSaveScreenAs", "Save Screen As...");
    items.mnuFileSavePreviewAs = addItem(file, "mnuFileSavePreviewAs", "Save Preview As...");
    items.mnuFileExportSlideshow = addItem(file, "mnuFileExportSlideshow", "Export Slideshow Disc...");
    items.mnuFileExportSlideshow->setStatusTip(
        QStringLiteral("Converts several pictures with the options on show into a bootable slideshow disc"));
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileSep"));
    items.mnuFileExit = addItem(file, "mnuFileExit", "E&xit");

    QMenu* view = addMenu(bar, "mnuView", "&View");
    items.mnuViewScreen = addItem(view, "mnuViewScreen", "Screen and Source");
    items.mnuViewEdit = addItem(view, "mnuViewEdit", "Edit Screen");
    items.mnuViewEdit->setStatusTip(QStringLiteral("Takes the converted screen on show into the Edit window"));

    QMenu* help = addMenu(bar, "mnuHelp", "&Help");
    items.mnuHelpAbout = addItem(help, "mnuHelpAbout", "About...");
    return items;
}
