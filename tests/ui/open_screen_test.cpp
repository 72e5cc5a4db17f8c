// Opening screens in the window: a disc's screen chosen from its list, a
// dump whose mode is asked for, a file that is no screen told and nothing
// opened; and the two dialogs themselves, driven headless.
#include "outputs/boot_discs.h"
#include "outputs/screen_decoding.h"
#include "outputs/screen_files.h"
#include "ui/disc_screen_dialog.h"
#include "ui/open_screen_dialogs.h"
#include "ui/screen_look_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

void writeFile(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

Conversion stripes(int mode, std::uint8_t firstPhysical)
{
    Conversion conversion;
    conversion.settings.mode = mode;
    conversion.screen = Screen(*findScreenMode(mode));
    for (int y = 0; y < kScreenLines; ++y)
        for (int x = 0; x < conversion.screen.width(); ++x)
            conversion.screen.line(y)[x] = static_cast<std::uint8_t>((x / 8 + y / 4) % conversion.screen.mode->numcols);
    conversion.screen.palette().physical[0] = firstPhysical;
    return conversion;
}

// Dialogs that answer as told and remember what they were asked.
struct Answers {
    std::optional<std::size_t> discScreen;  // or, when set, the screen so named
    std::optional<Screen> look;
    std::vector<int> modesAsked;
    QString told;
    std::string discScreenNamed;

    OpenScreenDialogs dialogs()
    {
        return {[this](QWidget*, const QString&, const DiscContents& contents) {
                    for (std::size_t i = 0; i < contents.screens.size() && !discScreenNamed.empty(); ++i)
                        if (contents.screens[i].name.ends_with(discScreenNamed))
                            return std::optional(i);
                    return discScreen;
                },
                [this](QWidget*, const FoundScreen& found) {
                    modesAsked = found.modes;
                    return look;
                },
                [this](QWidget*, const QString& message) { told = message; }};
    }
};

// Runs `act` on the modal dialog once it shows.
void onDialog(std::function<void(QDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        act(*dialog);
    });
}

}  // namespace

class OpenScreenTest : public QObject {
    Q_OBJECT

private slots:
    void aDiscsChosenScreenOpensInItsBootModeAndColours()
    {
        QTemporaryDir folder;
        const std::vector<Conversion> conversions{stripes(2, 0), stripes(1, 4)};
        const std::vector<Slide> slides{{"first", &conversions[0], {}}, {"second", &conversions[1], {}}};
        const auto set = makeDiscSet(slides, DiscSettings{80, 0, true, DiscKind::Single});
        QVERIFY(set.ok());
        const QString disc = folder.filePath(QStringLiteral("show.ssd"));
        writeFile(disc, set.value().files.front());
        Answers answers{std::nullopt, std::nullopt, {}, {}, "$.SECOND"};
        const auto opened = openScreen(nullptr, disc, answers.dialogs());
        QVERIFY(opened);
        QCOMPARE(opened->screen, conversions[1].screen);
        QVERIFY(opened->path.isEmpty());  // Save asks where
        QVERIFY(opened->name.contains(QStringLiteral("show.ssd")));
        QVERIFY(answers.modesAsked.empty());  // the !BOOT said the mode

        answers.discScreenNamed.clear();  // cancelled
        QVERIFY(!openScreen(nullptr, disc, answers.dialogs()));
        QVERIFY(answers.told.isEmpty());
    }

    void aDumpsModeIsAskedAmongThoseItsLengthFits()
    {
        QTemporaryDir folder;
        const QString dump = folder.filePath(QStringLiteral("dump.bin"));
        writeFile(dump, stripes(4, 0).bytes());
        Answers answers{std::nullopt, stripes(5, 0).screen, {}, {}, {}};
        const auto opened = openScreen(nullptr, dump, answers.dialogs());
        QVERIFY(opened);
        QCOMPARE(answers.modesAsked, (std::vector<int>{4, 5}));
        QCOMPARE(opened->path, dump);
        QVERIFY(looksLikeScreen(dump));

        answers.look.reset();  // cancelled
        QVERIFY(!openScreen(nullptr, dump, answers.dialogs()));
    }

    void aScreenFilesColoursByLineOpenWithItAndADamagedOneIsTold()
    {
        QTemporaryDir folder;
        Conversion conversion = stripes(1, 0);
        // Logical colour 2 takes another colour every eight lines: one change a line at most.
        for (int line = 8; line < kScreenLines; line += 8) {
            LinePalette next = conversion.screen.palettes.back();
            next.firstLine = line;
            next.physical[2] = static_cast<std::uint8_t>(line / 8 % 8);
            conversion.screen.palettes.push_back(next);
        }
        const QString file = folder.filePath(QStringLiteral("bands"));
        const FileSet set = screenFileSet(file.toStdString(), conversion);
        for (const FileSet::File& written : set.files)
            writeFile(QString::fromStdString(written.path), written.bytes);
        QVERIFY(QFileInfo::exists(file + QStringLiteral(".raster")));
        Answers answers{std::nullopt, std::nullopt, {}, {}, {}};
        Screen chosen = conversion.screen;  // as the user picks it among modes 0, 1 and 2
        chosen.palettes.resize(1);
        answers.look = chosen;
        const auto opened = openScreen(nullptr, file, answers.dialogs());
        QVERIFY(opened);
        QCOMPARE(opened->screen, conversion.screen);

        writeFile(file + QStringLiteral(".raster"), {'R', 'A', 'S', 'T', 9});
        QVERIFY(!openScreen(nullptr, file, answers.dialogs()));
        QVERIFY2(answers.told.contains(QStringLiteral("bands.raster")), qPrintable(answers.told));
    }

    void aFileThatIsNoScreenIsToldAndNothingOpens()
    {
        QTemporaryDir folder;
        const QString odd = folder.filePath(QStringLiteral("odd.bin"));
        writeFile(odd, std::vector<std::uint8_t>(777, 0xAA));
        const QString badDisc = folder.filePath(QStringLiteral("bad.ssd"));
        std::vector<std::uint8_t> disc(2048, 0);
        disc[256 + 5] = 3;
        writeFile(badDisc, disc);
        for (const QString& path : {odd, badDisc, folder.filePath(QStringLiteral("missing.screen"))}) {
            Answers answers;
            answers.discScreen = 0;
            QVERIFY(!openScreen(nullptr, path, answers.dialogs()));
            QVERIFY2(answers.told.contains(QFileInfo(path).fileName()), qPrintable(answers.told));
        }
        QVERIFY(!looksLikeScreen(odd));
        QImage picture(64, 64, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const QString png = folder.filePath(QStringLiteral("picture.png"));
        QVERIFY(picture.save(png));
        QVERIFY(!looksLikeScreen(png));
    }

    void theLookDialogPreviewsTheChosenModeAndColours()
    {
        const Conversion made = stripes(1, 0);
        FoundScreen found{"dump", made.bytes(), {0, 1, 2}, {}, false};
        onDialog([](QDialog& dialog) {
            auto* mode = dialog.findChild<QComboBox*>(QStringLiteral("cboMode"));
            QVERIFY(mode);
            mode->setCurrentIndex(0);
            dialog.findChild<QComboBox*>(QStringLiteral("cboColour1"))->setCurrentIndex(2);
            const QPixmap preview = dialog.findChild<QLabel*>(QStringLiteral("lblPreview"))->pixmap();
            QCOMPARE(preview.size(), QSize(640, 512));
            dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
        });
        const auto chosen = chooseScreenLook(nullptr, found);
        QVERIFY(chosen);
        const auto expected = screenFromMemory(0, made.bytes(), {{{0, 0}, {1, 2}}, std::nullopt});
        QVERIFY(expected.ok());
        QCOMPARE(*chosen, expected.value());
    }

    void theDiscDialogOffersOnlyScreens()
    {
        const std::vector<Conversion> conversions{stripes(5, 0)};
        const std::vector<Slide> slides{{"only", &conversions[0], {}}};
        const auto set = makeDiscSet(slides, DiscSettings{40, 0, false, DiscKind::Single});
        QVERIFY(set.ok());
        const auto contents = readDiscImage(set.value().files.front(), DiscContainer::Single);
        QVERIFY(contents.ok());
        onDialog([](QDialog& dialog) {
            auto* open = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
            QVERIFY(open->isEnabled());  // the first screen is chosen already
            open->click();
        });
        QCOMPARE(chooseDiscScreen(nullptr, QStringLiteral("boot.ssd"), contents.value()), std::optional<std::size_t>(0));
    }
};

QTEST_MAIN(OpenScreenTest)
#include "open_screen_test.moc"
