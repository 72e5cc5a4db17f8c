#include "tests/engine_steps.h"
#include "window_test_support.h"

#include "conversion/classic/conversion_pass.h"
#include "conversion/classic/halftone.h"
#include "conversion/screen_modes.h"
#include "outputs/side_file.h"
#include "outputs/screen_files.h"
#include "picture/picture_sampling.h"
#include "picture/qimage_surface.h"

#include <QAction>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

ScratchWorkingFolder::ScratchWorkingFolder() : previous_(QDir::currentPath())
{
    QDir::setCurrent(folder_.path());
}

ScratchWorkingFolder::~ScratchWorkingFolder()
{
    QDir::setCurrent(previous_);
}

WindowUnderTest::WindowUnderTest(bool quickTimer)
{
    window.setFileChooser([this](QWidget*) {
        ++dialogsShown;
        return nextFile;
    });
    window.setMessageReporter([this](QWidget*, const UserMessage& message) { messages << message; });
    // Discs are made with the options the dialog starts at, as if OK were pressed.
    window.setDiscOptionsChooser([](QWidget*, const DiscOptions& start, bool) { return start; });
    if (quickTimer)
        Timer1()->setInterval(20);
}

QAbstractButton* WindowUnderTest::modeButton(int index) const
{
    return window.findChild<QButtonGroup*>(QStringLiteral("optMode"))->button(index);
}

QAbstractButton* WindowUnderTest::toneButton(int index) const
{
    return window.findChild<QButtonGroup*>(QStringLiteral("optTone"))->button(index);
}

QCheckBox* WindowUnderTest::chkStagger() const
{
    return window.findChild<QCheckBox*>(QStringLiteral("chkStagger"));
}

QPushButton* WindowUnderTest::cmdConvert() const
{
    return window.findChild<QPushButton*>(QStringLiteral("cmdConvert"));
}

Canvas* WindowUnderTest::picImage1() const
{
    return window.findChild<Canvas*>(QStringLiteral("picImage1"));
}

Canvas* WindowUnderTest::picImage2() const
{
    return window.findChild<Canvas*>(QStringLiteral("picImage2"));
}

QTimer* WindowUnderTest::Timer1() const
{
    return window.findChild<QTimer*>(QStringLiteral("Timer1"));
}

QLabel* WindowUnderTest::lblStatus() const
{
    return window.findChild<QLabel*>(QStringLiteral("lblStatus"));
}

QAction* WindowUnderTest::menuItem(const char* name) const
{
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

QComboBox* WindowUnderTest::comboBox(const char* name) const
{
    return window.findChild<QComboBox*>(QString::fromLatin1(name));
}

QDoubleSpinBox* WindowUnderTest::numberBox(const char* name) const
{
    return window.findChild<QDoubleSpinBox*>(QString::fromLatin1(name));
}

QLineEdit* WindowUnderTest::txtPalette() const
{
    return window.findChild<QLineEdit*>(QStringLiteral("txtPalette"));
}

QLabel* WindowUnderTest::lblPalette() const
{
    return window.findChild<QLabel*>(QStringLiteral("lblPalette"));
}

QProgressBar* WindowUnderTest::prgConvert() const
{
    return window.findChild<QProgressBar*>(QStringLiteral("prgConvert"));
}

QPushButton* WindowUnderTest::cmdStop() const
{
    return window.findChild<QPushButton*>(QStringLiteral("cmdStop"));
}

void WindowUnderTest::openThroughMenu(const QString& path)
{
    nextFile = path;
    menuItem("mnuFileOpen")->trigger();
}

void WindowUnderTest::typePalette(const QString& colours)
{
    comboBox("cboPalette")->setCurrentIndex(2);  // "These colours:"
    QLineEdit* edit = txtPalette();
    edit->clear();
    QTest::keyClicks(edit, colours);
    QTest::keyClick(edit, Qt::Key_Return);
}

bool WindowUnderTest::waitForConversion(int timeoutMs)
{
    QSignalSpy finished(&window, &frmMain::conversionFinished);
    return finished.wait(timeoutMs);
}

WindowSnapshot::WindowSnapshot(const WindowUnderTest& test)
    : source(test.picImage1()->image()), preview(test.picImage2()->image()),
      sampled(test.window.controller().sampledPicture()), settings(test.window.controller().settings()),
      timerActive(test.Timer1()->isActive()), screen(readFile(QStringLiteral("$.screen"))),
      inf(readFile(QStringLiteral("$.screen.inf")))
{
}

bool WindowSnapshot::matches(const WindowUnderTest& test) const
{
    return source == test.picImage1()->image() && preview == test.picImage2()->image() &&
           sampled == test.window.controller().sampledPicture() &&
           settings == test.window.controller().settings() && timerActive == test.Timer1()->isActive() &&
           screen == readFile(QStringLiteral("$.screen")) && inf == readFile(QStringLiteral("$.screen.inf"));
}

EngineConversion engineConversion(const QImage& picture, int curmode, int htone, bool stagger)
{
    EngineConversion result{std::make_unique<ConversionState>(), picture.copy(), {}, {}};
    ConversionState& state = *result.state;
    state.setStartValues();
    state.curmode = curmode;
    state.htone = htone;
    state.stagger = stagger;
    samplePicture(picture, state);
    InitVars(state);
    InitMat(state);
    QImageSurface preview(result.preview);
    const Conversion screen = convertPlanes(state, preview);
    const std::vector<std::uint8_t> bytes = screen.bytes();
    result.screen = QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    const ModeRecord& record = *findModeRecord(curmode);
    result.inf = QByteArray::fromStdString(
        infLine(record.screenStart, static_cast<std::uint32_t>(record.screenBytes)) + "\n");
    return result;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void clickOn(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

bool samePlanesAndOptions(const frmMain& window, const ConversionState& expected)
{
    const DecodedPicture* sampled = window.controller().sampledPicture();
    if (sampled == nullptr)
        return false;
    ConversionState planes;
    samplePicture(sampled->canvas(), planes);
    const WindowController& controller = window.controller();
    return planes.red == expected.red && planes.green == expected.green && planes.blue == expected.blue &&
           controller.curmode() == expected.curmode && controller.htone() == expected.htone &&
           controller.stagger() == expected.stagger;
}

// Sector 0 holds each file's name and directory, sector 1 its addresses,
// length and start sector, whose top bits share one byte.
QList<DiscEntry> discCatalogue(const QByteArray& disc)
{
    const auto byte = [&disc](int at) { return int(static_cast<unsigned char>(disc.at(at))); };
    QList<DiscEntry> entries;
    for (int i = 0; i < byte(256 + 5) / 8; ++i) {
        const int name = 8 + 8 * i;
        const int info = 256 + 8 + 8 * i;
        const int high = byte(info + 6);
        const int length = byte(info + 4) | byte(info + 5) << 8 | ((high >> 4) & 3) << 16;
        const int sector = byte(info + 7) | (high & 3) << 8;
        entries.push_back({QStringLiteral("%1.%2").arg(QChar(byte(name + 7) & 0x7F))
                               .arg(QString::fromLatin1(disc.mid(name, 7)).trimmed()),
                           disc.mid(sector * 256, length)});
    }
    return entries;
}

QByteArray discFile(const QByteArray& disc, const QString& name)
{
    for (const DiscEntry& entry : discCatalogue(disc))
        if (entry.name == name)
            return entry.bytes;
    return {};
}
