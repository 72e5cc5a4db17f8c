// The Edit window's document on its own: every edit undone gives back the
// same screen memory and palettes, and redone the edited ones, in every
// bitmap mode, in standard and VideoNuLA colours and with palettes that
// change line by line; the image the window keeps up a change at a time
// stays the screen as screenPicture draws it; the tools' shapes.
#include "conversion/screen_layout.h"
#include "conversion/screen_picture.h"
#include "ui/edit/screen_document.h"
#include "ui/edit/screen_image.h"

#include <QtTest>

#include <random>

namespace {

enum class Colours { Standard, Nula, LineByLine };

Screen randomScreen(const ScreenMode& mode, Colours colours, std::mt19937& random)
{
    Screen screen(mode);
    if (colours != Colours::Standard) {
        NulaTable table{};
        for (NulaColour& colour : table)
            colour = {std::uint8_t(random() % 16), std::uint8_t(random() % 16), std::uint8_t(random() % 16)};
        screen.palette().nula = table;
    }
    if (colours == Colours::LineByLine)
        for (const int first : {40, 41, 130, 255}) {
            LinePalette later = screen.palettes.back();
            later.firstLine = first;
            (*later.nula)[random() % kNulaEntries] = {std::uint8_t(random() % 16), 0, 15};
            screen.palettes.push_back(later);
        }
    const int logical = screen.logicalColours();
    for (std::uint8_t& pixel : screen.pixels)
        pixel = std::uint8_t(random() % unsigned(logical));
    // Painted fewer lines: screen memory holds 0 below them, whatever the
    // pixels there hold.
    screen.paintedLines = 250;
    return screen;
}

ScreenPoint randomPoint(const Screen& screen, std::mt19937& random)
{
    return {int(random() % unsigned(screen.width())), int(random() % unsigned(kScreenLines))};
}

// One edit of each kind the window makes, chosen at random.
void randomEdit(ScreenDocument& document, std::mt19937& random)
{
    const Screen& screen = document.screen();
    const auto colour = std::uint8_t(random() % unsigned(screen.logicalColours()));
    const ScreenPoint a = randomPoint(screen, random), b = randomPoint(screen, random);
    const int line = int(random() % unsigned(kScreenLines));
    switch (random() % 6) {
    case 0: {
        document.beginStroke(QStringLiteral("Pencil"));
        ScreenPoint last = a;
        for (int step = 0; step < 5; ++step) {
            const ScreenPoint next = randomPoint(screen, random);
            document.strokePixels(linePixels(last, next), colour);
            last = next;
        }
        document.endStroke();
        break;
    }
    case 1:
        document.paint(linePixels(a, b), colour, QStringLiteral("Line"));
        break;
    case 2:
        document.paint(rectanglePixels(a, b), colour, QStringLiteral("Rectangle"));
        break;
    case 3:
        document.paint(floodPixels(screen, a), colour, QStringLiteral("Fill"));
        break;
    case 4:
        if (screen.paletteAt(line).nula)
            document.setNulaColour(line, colour, {std::uint8_t(random() % 16), 3, 9});
        else
            document.setPhysicalColour(line, colour, std::uint8_t(random() % 8));
        break;
    default:
        document.paint(std::vector<ScreenPoint>{a, {-1, 3}, {screen.width(), 0}}, colour, QStringLiteral("Pencil"));
    }
}

QImage plainImage(const Screen& screen)
{
    const ScreenPicture picture = screenPicture(screen);
    QImage image(picture.pixels.width(), picture.pixels.height(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        std::copy_n(picture.pixels.scanLine(y), image.width(), reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    return image;
}

}  // namespace

class EditDocumentTest : public QObject {
    Q_OBJECT
private slots:
    void undoingEveryEditGivesBackTheSameBytes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("colours");
        for (const ScreenMode& mode : kScreenModes)
            for (const Colours colours : {Colours::Standard, Colours::Nula, Colours::LineByLine})
                QTest::addRow("mode %d, %s", mode.number,
                              colours == Colours::Standard ? "standard" : colours == Colours::Nula ? "NuLA" : "line by line")
                    << mode.number << int(colours);
    }
    void undoingEveryEditGivesBackTheSameBytes()
    {
        QFETCH(int, mode);
        QFETCH(int, colours);
        std::mt19937 random(unsigned(mode * 7 + colours));
        Conversion conversion;
        conversion.settings.mode = mode;
        conversion.screen = randomScreen(*findScreenMode(mode), Colours(colours), random);
        const std::vector<std::uint8_t> original = conversion.bytes();

        ScreenDocument document(conversion, QStringLiteral("test"), QString(), true);
        QCOMPARE(document.conversion().bytes(), original);
        QVERIFY(!document.modified());
        // The image kept up a change at a time, as the Edit window keeps it.
        QImage kept = screenImage(document.screen());
        connect(&document, &ScreenDocument::pixelsChanged, this,
                [&](const QRect& area) { redrawScreenArea(kept, document.screen(), area); });
        connect(&document, &ScreenDocument::paletteChanged, this, [&] { kept = screenImage(document.screen()); });

        for (int edit = 0; edit < 60; ++edit)
            randomEdit(document, random);
        QVERIFY(document.modified());
        QCOMPARE(kept, plainImage(document.screen()));
        const Screen edited = document.screen();
        QVERIFY(document.conversion().bytes() != original || edited.palettes != conversion.screen.palettes);

        while (document.undoStack().canUndo())
            document.undoStack().undo();
        QCOMPARE(document.conversion().bytes(), original);
        QVERIFY(document.screen().palettes == conversion.screen.palettes);
        QVERIFY(!document.modified());
        QCOMPARE(kept, plainImage(document.screen()));

        while (document.undoStack().canRedo())
            document.undoStack().redo();
        QVERIFY(document.screen() == edited);
        QCOMPARE(kept, plainImage(document.screen()));
    }

    // Pixel (x, y)'s byte: the packer puts it there.
    void addressesThePixelsByte()
    {
        for (const ScreenMode& mode : kScreenModes) {
            Screen screen(mode);
            for (const ScreenPoint point : {ScreenPoint{0, 0}, ScreenPoint{mode.pixperbyte, 9},
                                            ScreenPoint{screen.width() - 1, 255}}) {
                screen.line(point.y)[point.x] = 1;
                const std::vector<std::uint8_t> bytes = packScreen(screen);
                const auto set = std::find_if(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte != 0; });
                QCOMPARE(pixelAddress(screen, point.x, point.y), mode.screenStart + std::uint32_t(set - bytes.begin()));
                screen.line(point.y)[point.x] = 0;
            }
        }
        QCOMPARE(pixelAddress(Screen(*findScreenMode(2)), 159, 255), 0x7FFFu);
    }

    void shapesTouchTheirPixelsOnce()
    {
        const std::vector<ScreenPoint> line = linePixels({0, 0}, {4, 2});
        QCOMPARE(line.size(), std::size_t(5));
        QVERIFY(line.front() == (ScreenPoint{0, 0}) && line.back() == (ScreenPoint{4, 2}));
        QCOMPARE(linePixels({3, 3}, {3, 3}).size(), std::size_t(1));
        QCOMPARE(rectanglePixels({1, 1}, {4, 3}).size(), std::size_t(10));
        QCOMPARE(rectanglePixels({5, 1}, {5, 4}).size(), std::size_t(4));

        // A ring of colour 1 with a hole: the fill stays inside it.
        Screen screen(*findScreenMode(1));
        for (const ScreenPoint point : rectanglePixels({10, 10}, {20, 20}))
            screen.line(point.y)[point.x] = 1;
        QCOMPARE(floodPixels(screen, {15, 15}).size(), std::size_t(9 * 9));
        QCOMPARE(floodPixels(screen, {10, 10}).size(), std::size_t(40));
        QCOMPARE(floodPixels(screen, {0, 0}).size(), std::size_t(320 * 256 - 11 * 11));
        QVERIFY(floodPixels(screen, {-1, 0}).empty());
    }
};

QTEST_MAIN(EditDocumentTest)
#include "edit_document_test.moc"
