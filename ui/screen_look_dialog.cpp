#include "ui/screen_look_dialog.h"

#include "outputs/nula_setup.h"
#include "outputs/screen_decoding.h"
#include "ui/screen_image.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr std::array<const char*, 8> kPhysicalNames{"Black", "Red", "Green", "Yellow",
                                                     "Blue", "Magenta", "Cyan", "White"};

struct ColourRow {
    QLabel* label;
    QComboBox* physical;
    QLineEdit* nula;
};

struct LookControls {
    QComboBox* mode;
    QCheckBox* nula;
    std::array<ColourRow, kNulaEntries> rows;
    QLabel* preview;
    QPushButton* open;
};

ColourRow colourRow(QWidget* parent, QGridLayout& grid, int logical)
{
    ColourRow row{new QLabel(QStringLiteral("Colour %1:").arg(logical), parent), new QComboBox(parent),
                  new QLineEdit(parent)};
    for (int physical = 0; physical < 8; ++physical)
        row.physical->addItem(QStringLiteral("%1 %2").arg(physical).arg(QLatin1String(kPhysicalNames[static_cast<std::size_t>(physical)])));
    row.physical->setObjectName(QStringLiteral("cboColour%1").arg(logical));
    row.nula->setObjectName(QStringLiteral("txtNula%1").arg(logical));
    row.nula->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{3}")), row.nula));
    row.nula->setToolTip(QStringLiteral("Red, green and blue, one hex digit each (0 to F)"));
    row.nula->setMaximumWidth(60);
    grid.addWidget(row.label, logical % 8, logical / 8 * 3);
    grid.addWidget(row.physical, logical % 8, logical / 8 * 3 + 1);
    grid.addWidget(row.nula, logical % 8, logical / 8 * 3 + 2);
    return row;
}

QString nulaDigits(NulaColour colour)
{
    return QStringLiteral("%1%2%3").arg(colour.red, 1, 16).arg(colour.green, 1, 16).arg(colour.blue, 1, 16).toUpper();
}

std::optional<NulaColour> nulaColour(const QString& digits)
{
    bool ok = false;
    const int value = digits.toInt(&ok, 16);
    if (!ok || digits.size() != 3)
        return std::nullopt;
    return NulaColour{static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value >> 4 & 15),
                      static_cast<std::uint8_t>(value & 15)};
}

// The colours the controls say, for `mode`; nothing while a NuLA colour is
// not three hex digits.
std::optional<ScreenColours> coloursOf(const LookControls& controls, const ScreenMode& mode)
{
    ScreenColours colours;
    if (!controls.nula->isChecked()) {
        for (int logical = 0; logical < mode.numcols; ++logical)
            colours.changes.push_back({logical, controls.rows[static_cast<std::size_t>(logical)].physical->currentIndex()});
        return colours;
    }
    std::array<std::uint8_t, kNulaBytes> registers{};
    for (int entry = 0; entry < kNulaEntries; ++entry) {
        const auto logical = static_cast<std::size_t>(logicalColourOfIndex(mode, entry));
        const auto colour = nulaColour(controls.rows[logical].nula->text());
        if (!colour)
            return std::nullopt;
        registers[static_cast<std::size_t>(2 * entry)] = static_cast<std::uint8_t>(entry << 4 | colour->red);
        registers[static_cast<std::size_t>(2 * entry + 1)] = static_cast<std::uint8_t>(colour->green << 4 | colour->blue);
    }
    colours.nulaRegisters = registers;
    return colours;
}

int chosenMode(const LookControls& controls)
{
    return controls.mode->currentData().toInt();
}

// The screen as the controls show it, or nothing while they say no colours.
std::optional<Screen> screenOf(const LookControls& controls, const FoundScreen& found)
{
    const int mode = chosenMode(controls);
    const ScreenMode* record = findScreenMode(mode);
    if (record == nullptr) {
        auto screen = screenFromMemory(mode, found.memory, {});
        return screen ? std::optional(std::move(screen).value()) : std::nullopt;
    }
    const auto colours = coloursOf(controls, *record);
    if (!colours)
        return std::nullopt;
    auto screen = screenFromMemory(mode, found.memory, *colours);
    return screen ? std::optional(std::move(screen).value()) : std::nullopt;
}

// Shows the rows the mode has colours for: its logical colours, all that
// its pixel bits can number with NuLA.
void showRows(LookControls& controls)
{
    const ScreenMode* record = findScreenMode(chosenMode(controls));
    controls.nula->setEnabled(record != nullptr);
    const bool nula = controls.nula->isChecked() && record != nullptr;
    const int shown = record == nullptr ? 0 : nula ? 1 << record->bitsPerPixel() : record->numcols;
    for (int logical = 0; logical < kNulaEntries; ++logical) {
        const ColourRow& row = controls.rows[static_cast<std::size_t>(logical)];
        row.label->setVisible(logical < shown);
        row.physical->setVisible(logical < shown && !nula);
        row.nula->setVisible(logical < shown && nula);
    }
}

// Fills the colour rows from `found`'s own colours in the chosen mode.
void startColours(LookControls& controls, const FoundScreen& found)
{
    const int mode = chosenMode(controls);
    auto screen = screenFromMemory(mode, found.memory, found.colours);
    if (!screen || screen.value().isTeletext())
        return;
    const LinePalette& palette = screen.value().palette();
    controls.nula->setChecked(palette.nula.has_value());
    for (std::size_t logical = 0; logical < kNulaEntries; ++logical) {
        ColourRow& row = controls.rows[logical];
        const std::uint8_t physical = logical < palette.physical.size() ? palette.physical[logical] : 0;
        row.physical->setCurrentIndex(physical);
        const NulaColour standard{static_cast<std::uint8_t>(physical & 1 ? 15 : 0),
                                  static_cast<std::uint8_t>(physical & 2 ? 15 : 0),
                                  static_cast<std::uint8_t>(physical & 4 ? 15 : 0)};
        row.nula->setText(nulaDigits(palette.nula ? (*palette.nula)[logical] : standard));
    }
}

void showPreview(LookControls& controls, const FoundScreen& found)
{
    showRows(controls);
    const auto screen = screenOf(controls, found);
    controls.open->setEnabled(screen.has_value());
    if (screen)
        controls.preview->setPixmap(QPixmap::fromImage(displayImage(*screen)));
}

}  // namespace

std::optional<Screen> chooseScreenLook(QWidget* parent, const FoundScreen& found)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmScreenLook"));
    dialog.setWindowTitle(QStringLiteral("Screen Mode and Colours"));
    auto* layout = new QHBoxLayout(&dialog);
    auto* side = new QVBoxLayout;
    layout->addLayout(side);
    LookControls controls{};
    controls.mode = new QComboBox(&dialog);
    controls.mode->setObjectName(QStringLiteral("cboMode"));
    for (const int mode : found.modes)
        controls.mode->addItem(QStringLiteral("Mode %1").arg(mode), mode);
    side->addWidget(new QLabel(QStringLiteral("%1 shown in:").arg(QString::fromStdString(found.name)), &dialog));
    side->addWidget(controls.mode);
    controls.nula = new QCheckBox(QStringLiteral("VideoNuLA colours"), &dialog);
    controls.nula->setObjectName(QStringLiteral("chkNula"));
    side->addWidget(controls.nula);
    auto* colours = new QGroupBox(QStringLiteral("Colours"), &dialog);
    auto* grid = new QGridLayout(colours);
    for (int logical = 0; logical < kNulaEntries; ++logical)
        controls.rows[static_cast<std::size_t>(logical)] = colourRow(colours, *grid, logical);
    side->addWidget(colours);
    side->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, &dialog);
    controls.open = buttons->button(QDialogButtonBox::Open);
    side->addWidget(buttons);
    controls.preview = new QLabel(&dialog);
    controls.preview->setObjectName(QStringLiteral("lblPreview"));
    controls.preview->setFixedSize(kDisplayWidth, kDisplayLines);
    layout->addWidget(controls.preview);

    startColours(controls, found);
    showPreview(controls, found);
    const auto update = [&] { showPreview(controls, found); };
    QObject::connect(controls.mode, &QComboBox::currentIndexChanged, &dialog, [&] {
        startColours(controls, found);
        update();
    });
    QObject::connect(controls.nula, &QCheckBox::toggled, &dialog, update);
    for (const ColourRow& row : controls.rows) {
        QObject::connect(row.physical, &QComboBox::currentIndexChanged, &dialog, update);
        QObject::connect(row.nula, &QLineEdit::textChanged, &dialog, update);
    }
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return screenOf(controls, found);
}
