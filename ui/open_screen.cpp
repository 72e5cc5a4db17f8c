#include "ui/open_screen.h"

#include "outputs/dfs_reading.h"
#include "outputs/disc_screens.h"
#include "outputs/raster_file.h"
#include "outputs/screen_reading.h"
#include "ui/disc_screen_dialog.h"
#include "ui/open_screen_dialogs.h"
#include "ui/screen_look_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMessageBox>

#include <limits>

namespace {

// Enough of a .inf or .nula file to read it, or to tell that it is too long.
constexpr qint64 kCompanionBytes = 4096;

// The file's bytes, up to `most` of them.
Result<std::vector<std::uint8_t>> fileBytes(const QString& path, qint64 most = std::numeric_limits<qint64>::max())
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{QDir::toNativeSeparators(path).toStdString(), file.errorString().toStdString()};
    const QByteArray bytes = most == std::numeric_limits<qint64>::max() ? file.readAll() : file.read(most);
    if (file.error() != QFileDevice::NoError)
        return Failure{QDir::toNativeSeparators(path).toStdString(), file.errorString().toStdString()};
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// A companion beside the screen file (its .inf, .nula), when there is one:
// its first `most` bytes, more than either holds.
std::optional<std::vector<std::uint8_t>> besideBytes(const QString& path, const QString& ending, qint64 most)
{
    if (!QFileInfo::exists(path + ending))
        return std::nullopt;
    auto bytes = fileBytes(path + ending, most);
    return bytes ? std::optional(std::move(bytes).value()) : std::nullopt;
}

// A raster file holds at most a record of every line: far less than this.
constexpr qint64 kRasterFileBytes = 64 * 1024;

// The colours line by line of a screen file's FILE.raster, when there is
// one beside it, as the screen's palette schedule. A raster file that
// cannot be read, or is for another mode, is a failure: opening the screen
// in one palette would lose the colours it was saved with.
Status readRasterBeside(const QString& screenPath, Screen& screen)
{
    const QString rasterPath = screenPath + QStringLiteral(".raster");
    if (screen.isTeletext() || !QFileInfo::exists(rasterPath))
        return Done{};
    auto bytes = fileBytes(rasterPath, kRasterFileBytes);
    if (!bytes)
        return bytes.failure();
    auto palettes = readRasterFile(*screen.mode, bytes.value());
    if (!palettes)
        return Failure{QDir::toNativeSeparators(rasterPath).toStdString(), palettes.failure().reason};
    screen.palettes = std::move(palettes).value();
    return Done{};
}

Result<FoundScreen> readFoundScreen(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    std::optional<InfFields> inf;
    if (const auto text = besideBytes(path, QStringLiteral(".inf"), kCompanionBytes))
        inf = readInfLine(std::string(text->begin(), text->end()));
    const auto nula = besideBytes(path, QStringLiteral(".nula"), kCompanionBytes);
    return readScreenFile(QDir::toNativeSeparators(path).toStdString(), bytes, inf,
                          nula ? std::optional<std::span<const std::uint8_t>>(*nula) : std::nullopt);
}

// The screen `found` shows: straight away when its mode is settled, else as
// the user chooses. Nothing when the user cancels.
std::optional<Screen> shownScreen(QWidget* parent, const FoundScreen& found, const OpenScreenDialogs& dialogs)
{
    if (found.modes.size() != 1)
        return dialogs.chooseLook(parent, found);
    auto screen = screenFromMemory(found.modes.front(), found.memory, found.colours);
    // The modes come from the memory's own length: a programming mistake otherwise.
    assert(screen.ok());
    return std::move(screen).value();
}

struct Chosen {
    FoundScreen found;
    bool fromDisc = false;
};

// The screen of the disc image `path` that the user chooses; a failure when
// the image cannot be read or holds none.
Result<std::optional<Chosen>> chooseFromDisc(QWidget* parent, const QString& path, const std::vector<std::uint8_t>& bytes,
                                             DiscContainer container, const OpenScreenDialogs& dialogs)
{
    const std::string name = QDir::toNativeSeparators(path).toStdString();
    auto contents = readDiscImage(bytes, container);
    if (!contents)
        return Failure{name, contents.failure().message()};
    if (contents.value().screens.empty())
        return Failure{name, "holds no screen file: " + screenLengthsText()};
    const auto chosen = dialogs.chooseDiscScreen(parent, QFileInfo(path).fileName(), contents.value());
    if (!chosen)
        return std::optional<Chosen>();
    FoundScreen found = contents.value().screens.at(*chosen);
    found.name = QFileInfo(path).fileName().toStdString() + " " + found.name;
    return std::optional<Chosen>(Chosen{std::move(found), true});
}

Result<std::optional<Chosen>> chooseScreen(QWidget* parent, const QString& path, const OpenScreenDialogs& dialogs)
{
    const auto container = discContainerOfName(path.toStdString());
    if (const QFileInfo info(path); !container && info.isFile())
        if (const Status length = checkScreenFileLength(QDir::toNativeSeparators(path).toStdString(),
                                                        static_cast<std::uint64_t>(info.size()));
            !length)
            return length.failure();
    const auto bytes = container ? fileBytes(path, static_cast<qint64>(largestDiscImage(*container))) : fileBytes(path);
    if (!bytes)
        return bytes.failure();
    if (container)
        return chooseFromDisc(parent, path, bytes.value(), *container, dialogs);
    auto found = readFoundScreen(path, bytes.value());
    if (!found)
        return found.failure();
    found.value().name = QFileInfo(path).fileName().toStdString();
    return std::optional<Chosen>(Chosen{std::move(found).value(), false});
}

}  // namespace

OpenScreenDialogs standardOpenScreenDialogs()
{
    return {chooseDiscScreen, chooseScreenLook, [](QWidget* parent, const QString& message) {
                QMessageBox::warning(parent, QStringLiteral("Open Screen"), message);
            }};
}

std::optional<OpenedScreen> openScreen(QWidget* parent, const QString& path, const OpenScreenDialogs& dialogs)
{
    const auto chosen = chooseScreen(parent, path, dialogs);
    if (!chosen) {
        dialogs.tellFailure(parent, QString::fromStdString(chosen.failure().message()));
        return std::nullopt;
    }
    if (!chosen.value())
        return std::nullopt;
    const Chosen& screenChosen = *chosen.value();
    auto screen = shownScreen(parent, screenChosen.found, dialogs);
    if (!screen)
        return std::nullopt;
    if (!screenChosen.fromDisc && !screen->isTeletext())
        if (const Status raster = readRasterBeside(path, *screen); !raster) {
            dialogs.tellFailure(parent, QString::fromStdString(raster.failure().message()));
            return std::nullopt;
        }
    return OpenedScreen{std::move(*screen), QString::fromStdString(screenChosen.found.name),
                        screenChosen.fromDisc ? QString() : path};
}

std::optional<OpenedScreen> openScreen(QWidget* parent, const QString& path)
{
    return openScreen(parent, path, standardOpenScreenDialogs());
}

bool looksLikeScreen(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    if (discContainerOfName(path.toStdString()))
        return true;
    if (path.endsWith(QStringLiteral(".zx02"), Qt::CaseInsensitive))
        return true;
    // A picture of a screen's length is still a picture.
    return !screenModesFor(static_cast<std::size_t>(info.size())).empty() && QImageReader::imageFormat(path).isEmpty();
}
