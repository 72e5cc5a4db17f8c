// The main window as it opens: its start values, every control in place with
// its name and caption, the menus and the About box.
#include "ui/view_window.h"
#include "window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QtTest>

#include <set>

namespace {

// The window's own controls come first in the table; the rest are new.
constexpr std::size_t kOriginalControls = 19;

// The control `name` (element `index` of a radio-button group).
QWidget* control(const frmMain& window, const QString& name, int index)
{
    if (index >= 0)
        return window.findChild<QButtonGroup*>(name)->button(index);
    return window.findChild<QWidget*>(name);
}

QString captionOf(const QWidget* widget)
{
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    return QString();
}

// The widgets a user points at to work the window: buttons, lists, boxes,
// the progress bar, groups and caption labels. Parts Qt builds inside
// them ("qt_spinbox_lineedit") and unnamed ones (a dialog's OK) are not.
bool isControl(const QWidget* widget)
{
    const QString name = widget->objectName();
    if (name.isEmpty() || name.startsWith(QStringLiteral("qt_")))
        return false;
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QProgressBar*>(widget) || qobject_cast<const QGroupBox*>(widget) ||
           (qobject_cast<const QLabel*>(widget) && name.endsWith(QStringLiteral("Caption")));
}

// The controls under `root`, other than `originals`, that have no tooltip.
QStringList withoutTooltips(const QWidget* root, const std::set<const QWidget*>& originals)
{
    QStringList names;
    for (const QWidget* widget : root->findChildren<QWidget*>())
        if (isControl(widget) && !originals.contains(widget) && widget->toolTip().isEmpty())
            names << widget->objectName();
    return names;
}

QStringList itemTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* item : menu->actions())
        texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return texts;
}

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithTheStartValues()
    {
        WindowUnderTest test(false);
        const WindowController& controller = test.window.controller();
        QCOMPARE(controller.curmode(), 2);
        QCOMPARE(controller.htone(), 0);
        QCOMPARE(controller.stagger(), false);
        QCOMPARE(controller.nextSettings(), Settings{});
        QVERIFY(controller.sampledPicture() == nullptr);

        QVERIFY(test.modeButton(2)->isChecked());
        QVERIFY(test.toneButton(0)->isChecked());
        QVERIFY(!test.chkStagger()->isChecked());
        QVERIFY(!test.Timer1()->isActive());
        QVERIFY(test.Timer1()->isSingleShot());
        QCOMPARE(test.Timer1()->interval(), 1000);
        QCOMPARE(test.Timer1()->timerType(), Qt::PreciseTimer);
        QVERIFY(test.window.isVisible());
        QCOMPARE(test.window.windowTitle(), QStringLiteral("Rasterine"));
    }

    void contentAreaLiesUnderTheMenuBarAboveTheStatusBar()
    {
        WindowUnderTest test;
        QVERIFY(QTest::qWaitForWindowExposed(&test.window));
        const QWidget* content = test.window.centralWidget();
        QCOMPARE(content->size(), QSize(718, 582));
        QCOMPARE(content->y(), test.window.menuBar()->geometry().bottom() + 1);
        QVERIFY(test.window.statusBar()->geometry().top() > content->geometry().bottom());
        QVERIFY(test.window.statusBar()->isAncestorOf(test.lblStatus()));

        // Resizable, and no control follows the window's edges.
        QVERIFY(test.window.minimumSize() != test.window.maximumSize());
        const QRect convert = test.cmdConvert()->geometry();
        test.window.resize(1000, 800);
        QTRY_COMPARE(content->width(), 1000);
        QCOMPARE(test.cmdConvert()->geometry(), convert);
    }

    void controlsSitAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("parent");
        const auto row = [](const char* tag, const char* name, int index, QRect place,
                            const char* caption, const char* parent) {
            QTest::newRow(tag) << QString::fromLatin1(name) << index << place
                               << QString::fromLatin1(caption) << QString::fromLatin1(parent);
        };
        row("Rectangle1", "Rectangle1", -1, {10, 10, 321, 258}, "", "content");
        row("Frame2", "Frame2", -1, {180, 287, 150, 195}, "Half Toning", "content");
        row("Frame1", "Frame1", -1, {10, 287, 150, 195}, "BBC Screen Mode", "content");
        row("picImage2", "picImage2", -1, {11, 11, 320, 256}, "", "Rectangle1");
        row("Rectangle2", "Rectangle2", -1, {363, 10, 322, 258}, "", "content");
        row("picImage1", "picImage1", -1, {364, 11, 320, 256}, "", "Rectangle2");
        row("optMode 0", "optMode", 0, {23, 311, 100, 20}, "Mode 0", "Frame1");
        row("optMode 1", "optMode", 1, {23, 343, 100, 20}, "Mode 1", "Frame1");
        row("optMode 2", "optMode", 2, {23, 375, 100, 20}, "Mode 2", "Frame1");
        row("optMode 3", "optMode", 3, {23, 407, 100, 20}, "Mode 4", "Frame1");
        row("optMode 4", "optMode", 4, {23, 439, 100, 20}, "Mode 5", "Frame1");
        row("optTone 0", "optTone", 0, {194, 311, 100, 20}, "None", "Frame2");
        row("optTone 1", "optTone", 1, {194, 343, 100, 20}, "Fine", "Frame2");
        row("optTone 2", "optTone", 2, {194, 375, 100, 20}, "Coarse", "Frame2");
        row("optTone 3", "optTone", 3, {194, 407, 100, 20}, "Spiral", "Frame2");
        row("optTone 4", "optTone", 4, {194, 439, 100, 20}, "Diagonal", "Frame2");
        row("GroupBox1", "GroupBox1", -1, {10, 494, 150, 68}, "Options", "content");
        row("chkStagger", "chkStagger", -1, {23, 524, 100, 20}, "Stagger", "GroupBox1");
        row("cmdConvert", "cmdConvert", -1, {204, 518, 80, 20}, "Convert", "content");
    }

    void controlsSitAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QRect, place);
        QFETCH(QString, caption);
        QFETCH(QString, parent);
        WindowUnderTest test;
        const QWidget* widget = control(test.window, name, index);
        QVERIFY(widget);
        QCOMPARE(widget->objectName(), name);
        QCOMPARE(widget->parentWidget()->objectName(), parent);
        const QPoint topLeft = widget->mapTo(test.window.centralWidget(), QPoint(0, 0));
        QCOMPARE(QRect(topLeft, widget->size()), place);
        QCOMPARE(captionOf(widget), caption);
        QVERIFY(widget->isVisible());
    }

    // The picture options and the "Mode 7 (Teletext)" button lie in the room
    // right of "Half Toning", clear of every original control.
    void pictureOptionsLieBesideTheOriginalControls()
    {
        WindowUnderTest test;
        const QRect room(345, 287, 364, 284);
        const QStringList names{"cboMethod", "cboPalette", "txtPalette", "lblPalette", "cboFit", "cboBar",
                                "spnBrightness", "spnContrast", "spnSaturation", "spnGamma", "spnDamping"};
        QStringList found;
        for (std::size_t i = kOriginalControls; i < kMainWindowControls.size(); ++i) {
            const ControlRecord& record = kMainWindowControls[i];
            const QWidget* widget = control(test.window, QString::fromLatin1(record.name), record.index);
            QVERIFY2(widget && widget->isVisible(), record.name);
            const QRect place(widget->mapTo(test.window.centralWidget(), QPoint(0, 0)), widget->size());
            QVERIFY2(room.contains(place), record.name);
            for (std::size_t j = 0; j < kOriginalControls; ++j) {
                const ControlBox& box = kMainWindowControls[j].box;
                QVERIFY2(!place.intersects(QRect(box.left, box.top, box.width, box.height)), record.name);
            }
            found << widget->objectName();
        }
        for (const QString& name : names)
            QVERIFY2(found.contains(name), qPrintable(name));
        QCOMPARE(test.modeButton(5)->text(), QStringLiteral("Mode 7 (Teletext)"));
    }

    // picImage2 covers the right border of the 321-wide Rectangle1; the right
    // border of the 322-wide Rectangle2 stays visible beside picImage1.
    void rectanglesFrameTheCanvases()
    {
        WindowUnderTest test;
        const QImage shot = test.window.centralWidget()->grab().toImage();
        const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
        for (int y : {10, 100, 267}) {
            QCOMPARE(shot.pixel(10, y), black);   // Rectangle1, left border
            QCOMPARE(shot.pixel(363, y), black);  // Rectangle2, left border
            QCOMPARE(shot.pixel(684, y), black);  // Rectangle2, right border
        }
        QCOMPARE(shot.pixel(330, 100), white);  // picImage2 over Rectangle1's right border
        QCOMPARE(shot.pixel(200, 267), black);  // bottom borders stay visible
        QCOMPARE(shot.pixel(500, 267), black);
    }

    void menusHoldTheirItemsWithoutShortcuts()
    {
        WindowUnderTest test;
        QCOMPARE(test.window.menuBar()->objectName(), QStringLiteral("mnufrmMain"));
        const auto* file = test.window.findChild<QMenu*>(QStringLiteral("mnuFile"));
        const auto* help = test.window.findChild<QMenu*>(QStringLiteral("mnuHelp"));
        QCOMPARE(file->title(), QStringLiteral("&File"));
        QCOMPARE(help->title(), QStringLiteral("&Help"));
        QCOMPARE(itemTexts(file), QStringList({"Open...", "Open Screen...", "Export Disc Image...", "Save Screen As...",
                                               "Save Preview As...", "Export Slideshow Disc...", "-", "E&xit"}));
        QCOMPARE(itemTexts(help), QStringList({"About..."}));
        for (const QAction* item : test.window.findChildren<QAction*>())
            QVERIFY2(item->shortcuts().isEmpty(), qPrintable(item->text()));
    }

    // Every control added beside the window's own says what it does, in the
    // main window, the View window and the disc options dialog, and every
    // menu item added says it in the status line. The window's own
    // controls (the first rows of the control table) keep what they had.
    void everyAddedControlHasATooltip()
    {
        WindowUnderTest test;
        std::set<const QWidget*> originals;
        for (std::size_t i = 0; i < kOriginalControls; ++i) {
            const ControlRecord& record = kMainWindowControls[i];
            originals.insert(control(test.window, QString::fromLatin1(record.name), record.index));
        }
        QCOMPARE(withoutTooltips(&test.window, originals), QStringList());
        QCOMPARE(withoutTooltips(test.window.viewWindow(), {}), QStringList());

        for (const bool askDelay : {false, true}) {
            QStringList inDialog{QStringLiteral("not shown")};
            QTimer::singleShot(0, [&] {
                if (auto* dialog = QApplication::activeModalWidget()) {
                    inDialog = withoutTooltips(dialog, {});
                    qobject_cast<QDialog*>(dialog)->reject();
                }
            });
            (void)chooseDiscOptions(&test.window, DiscOptions{}, askDelay);
            QCOMPARE(inDialog, QStringList());
        }

        const QStringList originalItems{"mnuFileOpen", "mnuFileExportDisc", "mnuFileSaveScreenAs",
                                        "mnuFileSavePreviewAs", "mnuFileExit", "mnuViewScreen", "mnuHelpAbout"};
        for (const QAction* item : test.window.menuBar()->findChildren<QAction*>())
            if (!item->isSeparator() && !item->menu() && !originalItems.contains(item->objectName()))
                QVERIFY2(!item->statusTip().isEmpty(), qPrintable(item->objectName()));
        QVERIFY(!test.menuItem("mnuFileExportSlideshow")->statusTip().isEmpty());
    }

    // The box is modal, so it is inspected and closed from inside its own loop.
    void aboutBoxShowsTheVersionAndClosesOnOk()
    {
        WindowUnderTest test;
        for (int showing = 0; showing < 2; ++showing) {
            QString version, product, title;
            QSize size;
            bool okIsDefault = false, fixedSize = false;
            QTimer::singleShot(0, [&] {
                auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (!about)
                    return;
                title = about->windowTitle();
                size = about->size();
                version = about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text();
                product = about->findChild<QLabel*>(QStringLiteral("StaticText3"))->text();
                auto* ok = about->findChild<QPushButton*>(QStringLiteral("cmdOK"));
                okIsDefault = ok->isDefault() && ok->text() == QStringLiteral("OK");
                fixedSize = about->minimumSize() == about->maximumSize();
                QTest::keyClick(about, Qt::Key_Return);  // the default button closes it
            });
            test.menuItem("mnuHelpAbout")->trigger();
            QCOMPARE(title, QStringLiteral("About Rasterine"));
            QCOMPARE(size, QSize(366, 143));
            QCOMPARE(version, QStringLiteral("Version 1.2.0"));
            QCOMPARE(product, QStringLiteral("Rasterine"));
            QVERIFY(okIsDefault);
            QVERIFY(fixedSize);
            QVERIFY(!QApplication::activeModalWidget());
        }
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
