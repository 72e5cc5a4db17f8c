// The Edit window in the real window, headless: each tool's pixels, a
// palette colour changed and undone, unsaved edits never dropped without
// asking (a later conversion, closing either window), and Save writing the
// screen's whole file set and clearing the title's mark.
#include "test_pictures.h"
#include "ui/edit/edit_window.h"
#include "ui/edit/palette_panel.h"
#include "ui/edit/screen_document.h"
#include "ui/edit/screen_image.h"
#include "ui/view_window.h"
#include "window_test_support.h"

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

namespace {

// The main window with a mode 1 conversion on show, taken into the Edit
// window with the View window's "Edit", drawn at 16x.
struct EditUnderTest {
    ScratchWorkingFolder folder;
    WindowUnderTest test;
    EditWindow* edit = test.window.editWindow();
    QList<QString> asked;  // the documents the unsaved-edits question named
    UnsavedAnswer answer = UnsavedAnswer::Cancel;
    QString saveAt;

    EditUnderTest()
    {
        edit->setUnsavedQuestion([this](QWidget*, const QString& name) {
            asked << name;
            return answer;
        });
        edit->setSaveChooser([this](QWidget*, const SaveRequest&) { return saveAt; });
        edit->setMessageReporter([this](QWidget*, const UserMessage& message) { test.messages << message; });
        edit->setDiscOptionsChooser([](QWidget*, const DiscOptions& start, bool) { return start; });
    }

    // A quick conversion has ended before the click returns.
    bool convert(int modeButton)
    {
        clickOn(test.modeButton(modeButton));
        QSignalSpy finished(&test.window, &frmMain::conversionFinished);
        test.cmdConvert()->click();
        const bool ended = !finished.isEmpty() || finished.wait(10000);
        QApplication::processEvents();  // the Edit window hears of it after
        return ended;
    }

    void takeIntoEditWindow()
    {
        test.menuItem("mnuViewScreen")->trigger();
        test.window.viewWindow()->findChild<QPushButton*>(QStringLiteral("cmdEdit"))->click();
        edit->findChild<QComboBox*>(QStringLiteral("cboZoom"))->setCurrentIndex(4);  // 16x
    }

    ScreenDocument& document() const { return *edit->document(); }
    std::uint8_t at(int x, int y) const { return document().screen().at(x, y); }
    QPoint centre(ScreenPoint point) const { return edit->canvas()->cellRect(point).center(); }

    // The left button pressed on `from`, dragged over `through`, let go.
    void drag(ScreenPoint from, std::initializer_list<ScreenPoint> through = {})
    {
        EditCanvas* canvas = edit->canvas();
        QTest::mousePress(canvas, Qt::LeftButton, {}, centre(from));
        ScreenPoint last = from;
        for (const ScreenPoint point : through) {
            QTest::mouseMove(canvas, centre(point));
            last = point;
        }
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, centre(last));
    }

    void useTool(const char* action, std::uint8_t colour)
    {
        edit->findChild<QAction*>(QString::fromLatin1(action))->trigger();
        edit->findChild<QToolButton*>(QStringLiteral("swatch%1").arg(colour))->click();
    }

    // Paints one pixel a colour it does not hold.
    void editOnePixel()
    {
        useTool("actPencil", std::uint8_t((at(1, 1) + 1) % 4));
        drag({1, 1});
    }
};

bool holds(const EditUnderTest& under, const std::vector<ScreenPoint>& points, std::uint8_t colour)
{
    return std::all_of(points.begin(), points.end(), [&](ScreenPoint p) { return under.at(p.x, p.y) == colour; });
}

}  // namespace

class WindowEditTest : public QObject {
    Q_OBJECT
private slots:
    void eachToolDrawsItsPixelsAndUndoTakesThemBack()
    {
        EditUnderTest under;
        under.test.openThroughMenu(savePng(colourfulScene(400, 300), under.folder.file("scene.png")));
        QVERIFY(under.test.waitForConversion());
        QVERIFY(under.convert(1));
        under.takeIntoEditWindow();
        QVERIFY(under.edit->isVisible());
        QVERIFY(under.edit->windowTitle().startsWith(QStringLiteral("scene[*]")));
        const std::vector<std::uint8_t> original = under.document().conversion().bytes();
        QCOMPARE(original, under.test.window.controller().lastConversion()->bytes());

        under.useTool("actPencil", 3);
        under.drag({2, 2}, {{4, 2}, {6, 2}});
        QVERIFY(holds(under, linePixels({2, 2}, {6, 2}), 3));
        QVERIFY(under.edit->isWindowModified());

        under.useTool("actLine", 2);
        under.drag({0, 10}, {{5, 11}, {8, 14}});
        QVERIFY(holds(under, linePixels({0, 10}, {8, 14}), 2));

        under.useTool("actRectangle", 1);
        const std::uint8_t inside = under.at(12, 22);
        under.drag({10, 20}, {{14, 24}});
        QVERIFY(holds(under, rectanglePixels({10, 20}, {14, 24}), 1));
        QCOMPARE(under.at(12, 22), inside);

        const std::vector<ScreenPoint> area = floodPixels(under.document().screen(), {40, 40});
        under.useTool("actFill", std::uint8_t((under.at(40, 40) + 1) % 4));
        under.drag({40, 40});
        QVERIFY(holds(under, area, under.edit->canvas()->colour()));

        under.useTool("actPicker", 0);
        under.drag({4, 2});
        QCOMPARE(under.edit->canvas()->colour(), std::uint8_t(3));
        QVERIFY(under.edit->findChild<QToolButton*>(QStringLiteral("swatch3"))->isChecked());
        // Mode 1's pixel 4 of line 2 is in the second cell, its third byte.
        const QPoint over = under.centre({4, 2});
        QMouseEvent hover(QEvent::MouseMove, over, under.edit->canvas()->mapToGlobal(over), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(under.edit->canvas(), &hover);
        QCOMPARE(under.edit->findChild<QLabel*>(QStringLiteral("lblPointer"))->text(), QStringLiteral("X 4, Y 2  &300A"));

        // Each tool was one command: four undos give back the conversion's bytes.
        QCOMPARE(under.document().undoStack().count(), 4);
        QAction* undo = under.edit->findChild<QAction*>(QStringLiteral("actUndo"));
        QCOMPARE(undo->shortcutContext(), Qt::WidgetWithChildrenShortcut);
        for (int step = 0; step < 4; ++step)
            undo->trigger();
        QCOMPARE(under.document().conversion().bytes(), original);
        QVERIFY(!under.edit->isWindowModified());
        // The window shows what the document holds.
        QCOMPARE(under.edit->canvas()->screenPicture(), screenImage(under.document().screen()));
    }

    // Colour 2 of the line clicked shown as magenta (5), then undone.
    void changesAPaletteColourAndUndoesIt()
    {
        EditUnderTest under;
        under.test.openThroughMenu(savePng(colourfulScene(400, 300), under.folder.file("scene.png")));
        QVERIFY(under.test.waitForConversion());
        QVERIFY(under.convert(1));
        under.takeIntoEditWindow();
        under.useTool("actPencil", 2);
        under.drag({7, 100});
        const LinePalette before = under.document().screen().palette();
        auto* physical = under.edit->findChild<QComboBox*>(QStringLiteral("cboPhysical"));
        QCOMPARE(under.edit->palettePanel()->line(), 100);
        physical->setCurrentIndex(5);
        emit physical->activated(5);
        QCOMPARE(under.document().screen().palette().physical[2], std::uint8_t(5));
        QCOMPARE(under.edit->canvas()->screenPicture().pixel(7, 100), qRgb(255, 0, 255));
        under.edit->findChild<QAction*>(QStringLiteral("actUndo"))->trigger();
        QVERIFY(under.document().screen().palette() == before);
        QCOMPARE(physical->currentIndex(), int(before.physical[2]));
    }

    // Cancel keeps the edits on show; Discard takes the new conversion;
    // Save writes the edits first.
    void aLaterConversionAsksBeforeReplacingEdits()
    {
        EditUnderTest under;
        under.test.openThroughMenu(savePng(colourfulScene(400, 300), under.folder.file("scene.png")));
        QVERIFY(under.test.waitForConversion());
        QVERIFY(under.convert(1));
        under.takeIntoEditWindow();
        under.editOnePixel();
        const ScreenDocument* edited = under.edit->document();

        under.answer = UnsavedAnswer::Cancel;
        QVERIFY(under.convert(2));
        QCOMPARE(under.asked, QList<QString>{QStringLiteral("scene")});
        QCOMPARE(under.edit->document(), edited);
        QVERIFY(edited->modified());

        under.answer = UnsavedAnswer::Discard;
        QVERIFY(under.convert(0));
        QCOMPARE(under.asked.size(), 2);
        QCOMPARE(under.document().screen().modeNumber, 0);
        QVERIFY(!under.document().modified());

        under.editOnePixel();
        const std::vector<std::uint8_t> bytes = under.document().conversion().bytes();
        under.answer = UnsavedAnswer::Save;
        under.saveAt = under.folder.file("kept");
        QVERIFY(under.convert(1));
        QCOMPARE(readFile(under.saveAt), QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size())));
        QCOMPARE(under.document().screen().modeNumber, 1);
    }

    void closingWithUnsavedEditsAsks()
    {
        EditUnderTest under;
        under.test.openThroughMenu(savePng(colourfulScene(400, 300), under.folder.file("scene.png")));
        QVERIFY(under.test.waitForConversion());
        QVERIFY(under.convert(1));
        under.takeIntoEditWindow();
        under.editOnePixel();

        under.answer = UnsavedAnswer::Cancel;
        QVERIFY(!under.edit->close());
        QVERIFY(under.edit->isVisible() && under.document().modified());
        QVERIFY(!under.test.window.close());
        QVERIFY(under.test.window.isVisible());
        QCOMPARE(under.asked.size(), 2);

        // A save that cannot be written is reported and keeps the window open.
        under.answer = UnsavedAnswer::Save;
        under.saveAt = under.folder.file("missing/screen");
        QVERIFY(!under.edit->close());
        QCOMPARE(under.test.messages.size(), 1);
        QVERIFY(under.document().modified());

        under.answer = UnsavedAnswer::Discard;
        QVERIFY(under.edit->close());
        QVERIFY(under.edit->document() == nullptr);
    }

    // A screen in VideoNuLA colours: the screen file, its .inf and the .nula
    // pair written together; the title loses its mark.
    void saveWritesTheScreensFilesAndClearsTheMark()
    {
        EditUnderTest under;
        Conversion conversion;
        conversion.settings.mode = 2;
        conversion.screen = Screen(*findScreenMode(2));
        conversion.screen.palette().nula = NulaTable{};
        QVERIFY(under.edit->offer(std::make_unique<ScreenDocument>(conversion, QStringLiteral("blank"), QString(), false)));
        under.edit->show();
        under.edit->findChild<QComboBox*>(QStringLiteral("cboZoom"))->setCurrentIndex(4);
        under.useTool("actPencil", 12);
        under.drag({3, 3});
        QVERIFY(under.edit->isWindowModified());
        under.edit->findChild<QSpinBox*>(QStringLiteral("spnRed"))->setValue(9);
        QCOMPARE((*under.document().screen().palette().nula)[12].red, std::uint8_t(9));

        under.saveAt = under.folder.file("edited");
        QVERIFY(under.edit->save());
        for (const char* file : {"edited", "edited.inf", "edited.nula", "edited.nula.inf"})
            QVERIFY2(QFile::exists(under.folder.file(QString::fromLatin1(file))), file);
        const std::vector<std::uint8_t> bytes = under.document().conversion().bytes();
        QCOMPARE(readFile(under.saveAt), QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size())));
        QVERIFY(!under.edit->isWindowModified());
        QVERIFY(under.edit->windowTitle().startsWith(QStringLiteral("edited[*]")));
        QCOMPARE(under.document().path(), under.saveAt);
    }

    // The edited screen first, then a picture converted with the main
    // window's options, on one slideshow disc.
    void exportsTheScreenIntoASlideshow()
    {
        EditUnderTest under;
        Conversion conversion;
        conversion.settings.mode = 1;
        conversion.screen = Screen(*findScreenMode(1));
        QVERIFY(under.edit->offer(std::make_unique<ScreenDocument>(conversion, QStringLiteral("blank"), QString(), false)));
        const QString picture = savePng(colourfulScene(200, 150), under.folder.file("scene.png"));
        under.edit->setPicturesChooser([&](QWidget*) { return QStringList{picture}; });
        under.saveAt = under.folder.file("show.ssd");
        QSignalSpy finished(&under.test.window, &frmMain::slideshowFinished);
        under.edit->findChild<QAction*>(QStringLiteral("actExportSlideshow"))->trigger();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.front().front().toBool(), true);
        QVERIFY(under.test.lblStatus()->text().startsWith(QStringLiteral("2 pictures on 1 disc")));
        const QList<DiscEntry> files = discCatalogue(readFile(under.saveAt));
        QVERIFY(std::any_of(files.begin(), files.end(), [](const DiscEntry& file) { return file.name.contains(QStringLiteral("BLANK")); }));
    }

    // The tool keys and Ctrl+Z work in the Edit window, and not in the main
    // window, which keeps no shortcuts.
    void itsShortcutsWorkInItAlone()
    {
        EditUnderTest under;
        under.test.openThroughMenu(savePng(colourfulScene(400, 300), under.folder.file("scene.png")));
        QVERIFY(under.test.waitForConversion());
        under.takeIntoEditWindow();
        under.edit->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(under.edit));
        under.edit->canvas()->setFocus();
        const std::pair<Qt::Key, EditTool> keys[] = {{Qt::Key_L, EditTool::Line}, {Qt::Key_R, EditTool::Rectangle},
                                                     {Qt::Key_F, EditTool::Fill}, {Qt::Key_K, EditTool::Picker},
                                                     {Qt::Key_P, EditTool::Pencil}};
        for (const auto& [key, tool] : keys) {
            QTest::keyClick(under.edit->canvas(), key);
            QCOMPARE(under.edit->canvas()->tool(), tool);
        }
        under.editOnePixel();
        QTest::keyClick(under.edit->canvas(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!under.document().modified());
        QTest::keyClick(under.edit->canvas(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(under.document().modified());

        under.test.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&under.test.window));
        QTest::keyClick(&under.test.window, Qt::Key_L);
        QTest::keyClick(&under.test.window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(under.edit->canvas()->tool(), EditTool::Pencil);
        QVERIFY(under.document().modified());
    }

    // Mode 7 is shown, not edited: no tools, and a click changes nothing.
    void aTeletextScreenIsOnlyShown()
    {
        EditUnderTest under;
        under.test.openThroughMenu(savePng(colourfulScene(400, 300), under.folder.file("scene.png")));
        QVERIFY(under.test.waitForConversion());
        QVERIFY(under.convert(5));
        under.takeIntoEditWindow();
        QVERIFY(under.document().screen().isTeletext());
        QVERIFY(!under.edit->findChild<QAction*>(QStringLiteral("actPencil"))->isEnabled());
        const std::vector<std::uint8_t> bytes = under.document().conversion().bytes();
        QTest::mouseClick(under.edit->canvas(), Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(under.document().conversion().bytes(), bytes);
        QCOMPARE(under.document().undoStack().count(), 0);
    }
};

QTEST_MAIN(WindowEditTest)
#include "window_edit_test.moc"
