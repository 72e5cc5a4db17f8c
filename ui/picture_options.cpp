#include "ui/picture_options.h"

#include "conversion/methods/palette_search.h"
#include "conversion/option_catalogue.h"
#include "conversion/painter.h"
#include "outputs/nula_setup.h"
#include "conversion/screen_modes.h"
#include "ui/number_box.h"
#include "ui/status_texts.h"
#include "ui/window_controller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <utility>

namespace {

QString text(std::string_view view)
{
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

template <typename Rows>
void fillCaptions(QComboBox* box, const Rows& rows)
{
    for (const auto& row : rows)
        box->addItem(text(row.caption));
}

QString optionTip(Option option)
{
    for (const OptionRow& row : kOptionRows)
        if (row.option == option)
            return text(capitalised(row.summary));
    return {};
}

// The first colour of the palette on show, which the bars can always take.
std::uint8_t firstColour(const Settings& settings)
{
    if (settings.palette.kind == PaletteChoice::Kind::Named)
        return settings.palette.colours[0];
    const ScreenMode* mode = findScreenMode(settings.mode);
    return mode != nullptr ? physicalColour(mode->palette[0]) : 0;
}

}  // namespace

PictureOptions::PictureOptions(const PictureOptionControls& controls, WindowController& controller,
                               QObject* parent)
    : QObject(parent), controls_(controls), controller_(controller)
{
    setUpChoices();
    for (const NumberRow& row : kNumberRows)
        if (QDoubleSpinBox* box = numberBox(row.option))
            follow(box, row);
    controls_.lblPalette->setTextInteractionFlags(Qt::TextSelectableByMouse);
    controls_.lblPalette->setToolTip(QStringLiteral("The BBC BASIC statement that sets up the palette of the "
                                                    "picture on the left"));
}

const Settings& PictureOptions::settings() const
{
    return controller_.settings();
}

QDoubleSpinBox* PictureOptions::numberBox(Option option) const
{
    switch (option) {
    case Option::Brightness: return controls_.spnBrightness;
    case Option::Contrast: return controls_.spnContrast;
    case Option::Saturation: return controls_.spnSaturation;
    case Option::Gamma: return controls_.spnGamma;
    case Option::Damping: return controls_.spnDamping;
    default: return nullptr;
    }
}

void PictureOptions::setUpChoices()
{
    fillCaptions(controls_.cboMethod, kMethodRows);
    for (std::size_t i = 0; i < kMethodRows.size(); ++i)
        controls_.cboMethod->setItemData(int(i), text(capitalised(kMethodRows[i].summary)), Qt::ToolTipRole);
    fillCaptions(controls_.cboPalette, kPaletteKindRows);
    fillCaptions(controls_.cboFit, kFitRows);
    for (std::size_t i = 0; i < kFitRows.size(); ++i)
        controls_.cboFit->setItemData(int(i), text(capitalised(kFitRows[i].summary)), Qt::ToolTipRole);
    for (std::string_view colour : kColourNames)
        controls_.cboBar->addItem(text(colour));
    controls_.cboMethod->setToolTip(optionTip(Option::Method));
    controls_.cboPalette->setToolTip(optionTip(Option::Palette));
    controls_.cboFit->setToolTip(optionTip(Option::Fit));
    controls_.cboBar->setToolTip(text(capitalised(numberRow(Option::Bar).summary)));
    controls_.txtPalette->setPlaceholderText(QStringLiteral("e.g. 0,4,6,7"));
    controls_.txtPalette->setToolTip(QStringLiteral("Physical colours 0-7 of the logical colours, "
                                                    "two for modes 0 and 4, four for modes 1 and 5"));
    connect(controls_.cboMethod, &QComboBox::currentIndexChanged, this, &PictureOptions::methodPicked);
    connect(controls_.cboPalette, &QComboBox::currentIndexChanged, this, &PictureOptions::paletteKindPicked);
    connect(controls_.txtPalette, &QLineEdit::editingFinished, this, &PictureOptions::paletteTyped);
    connect(controls_.cboFit, &QComboBox::currentIndexChanged, this, &PictureOptions::fitPicked);
    controls_.chkNula->setToolTip(optionTip(Option::Nula));
    connect(controls_.chkNula, &QCheckBox::toggled, this, [this](bool checked) {
        Settings next = settings();
        next.nula = checked;
        offer(next, QStringLiteral("VideoNuLA colours"));
    });
    controls_.chkRaster->setToolTip(optionTip(Option::Raster));
    connect(controls_.chkRaster, &QCheckBox::toggled, this, [this](bool checked) {
        Settings next = settings();
        next.raster = checked;
        offer(next, QStringLiteral("By line"));
    });
    connect(controls_.cboBar, &QComboBox::currentIndexChanged, this, [this](int colour) {
        Settings next = settings();
        next.barColour = static_cast<std::uint8_t>(colour);
        offer(next, QStringLiteral("Bars"));
    });
    showSettings();
}

// Two decimals, as the command line's numbers are usually written; a typed
// value counts once it is complete (Return or leaving the box), and one
// outside the range is refused with the range.
void PictureOptions::follow(QDoubleSpinBox* box, const NumberRow& row)
{
    if (auto* numbers = qobject_cast<NumberBox*>(box))
        connect(numbers, &NumberBox::outOfRange, this, [this, &row](const QString& typed) {
            refuse(outOfRangeStatus(text(row.caption), typed, row.min, row.max));
        });
    box->setDecimals(2);
    box->setRange(row.min, row.max);
    box->setSingleStep(row.step);
    box->setValue(row.start);
    box->setKeyboardTracking(false);
    box->setToolTip(QStringLiteral("%1, %2 to %3").arg(text(capitalised(row.summary))).arg(row.min).arg(row.max));
    connect(box, &QDoubleSpinBox::valueChanged, this, [this, option = row.option](double value) {
        Settings next = settings();
        setNumber(next, option, value);
        offer(next, text(numberRow(option).caption));
    });
}

void PictureOptions::methodPicked()
{
    Settings next = settings();
    next.method = kMethodRows[static_cast<std::size_t>(controls_.cboMethod->currentIndex())].method;
    offer(next, QStringLiteral("Method"));
}

// "These colours:" takes the colours typed beside it; until some are, the
// mode's own colours are in force, as the empty field says.
void PictureOptions::paletteKindPicked()
{
    const auto kind = kPaletteKindRows[static_cast<std::size_t>(controls_.cboPalette->currentIndex())].kind;
    if (kind == PaletteChoice::Kind::Named) {
        const QString typed = controls_.txtPalette->text().trimmed();
        const auto choice = paletteNamed(typed.toStdString());
        Settings next = settings();
        next.palette = choice && choice->kind == PaletteChoice::Kind::Named ? *choice : PaletteChoice{};
        awaitingColours_ = next.palette.kind != PaletteChoice::Kind::Named;
        offer(next, QStringLiteral("Palette \u201c%1\u201d").arg(typed));
        return;
    }
    Settings next = settings();
    next.palette = PaletteChoice{kind, {}, 0};
    awaitingColours_ = false;
    offer(next, QStringLiteral("Palette"));
}

void PictureOptions::paletteTyped()
{
    const QString typed = controls_.txtPalette->text().trimmed();
    const auto choice = paletteNamed(typed.toStdString());
    if (!choice || choice->kind != PaletteChoice::Kind::Named) {
        refuse(QStringLiteral("Palette \u201c%1\u201d not taken: give two or four physical colours 0-7 separated "
                              "by commas")
                   .arg(typed));
        return;
    }
    Settings next = settings();
    next.palette = *choice;
    awaitingColours_ = false;
    offer(next, QStringLiteral("Palette \u201c%1\u201d").arg(typed));
}

void PictureOptions::fitPicked()
{
    Settings next = settings();
    next.fit = kFitRows[static_cast<std::size_t>(controls_.cboFit->currentIndex())].fit;
    // Bars appear: in a colour the palette on show has.
    if (const auto problem = settingsProblem(withUnreadAtDefaults(next)); problem && problem->option == Option::Bar)
        next.barColour = firstColour(next);
    offer(next, QStringLiteral("Fit"));
}

// The palette a newly chosen mode starts with: the one it was left with,
// else the one in force.
PaletteChoice PictureOptions::paletteFor(const Settings& next) const
{
    const auto kept = palettes_.find(next.mode);
    return kept != palettes_.end() ? kept->second : next.palette;
}

// A new mode can leave a palette or a bar colour it cannot show: those go
// back to what it can, and the user is told so; otherwise a word about an
// earlier mode is cleared.
void PictureOptions::modePicked()
{
    Settings next = settings();
    next.palette = paletteFor(next);
    awaitingColours_ = awaitingColours_ && next.palette.kind != PaletteChoice::Kind::Named;
    QString told;
    if (const auto problem = settingsProblem(withUnreadAtDefaults(next)); problem && problem->option == Option::Palette) {
        told = QStringLiteral("Palette \u201c%1\u201d not used in mode %2: %3")
                   .arg(text(paletteText(next.palette)))
                   .arg(next.mode)
                   .arg(QString::fromStdString(problem->reason));
        next.palette = PaletteChoice{};
        awaitingColours_ = false;
    }
    if (const auto problem = settingsProblem(withUnreadAtDefaults(next)); problem && problem->option == Option::Bar) {
        told = QStringLiteral("Bars: %1; %2 used instead")
                   .arg(QString::fromStdString(problem->reason), text(kColourNames[firstColour(next)]));
        next.barColour = firstColour(next);
    }
    // The mode itself takes effect at the next conversion, like the mode
    // buttons' own choice: nothing is shown anew.
    controller_.setSettings(next);
    palettes_[next.mode] = next.palette;
    showSettings();
    if (told.isEmpty())
        emit accepted();
    else
        emit refused(told);
}

// Takes `next` when nothing is wrong with it; otherwise keeps what is in
// force, shows it again and says why the entry was not taken.
void PictureOptions::offer(const Settings& next, const QString& what)
{
    if (const auto problem = settingsProblem(withUnreadAtDefaults(next))) {
        refuse(QStringLiteral("%1 not taken: %2").arg(what, QString::fromStdString(problem->reason)));
        return;
    }
    emit accepted();
    store(next);
}

void PictureOptions::refuse(const QString& message)
{
    showSettings();
    emit refused(message);
}

void PictureOptions::store(const Settings& next)
{
    const bool changedNow = next != settings();
    controller_.setSettings(next);
    palettes_[next.mode] = next.palette;
    showSettings();
    if (changedNow)
        emit changed();
}

// The controls show the options in force, and are enabled where the next
// conversion reads them.
void PictureOptions::showSettings()
{
    const QSignalBlocker method(controls_.cboMethod), palette(controls_.cboPalette), bar(controls_.cboBar),
        fit(controls_.cboFit);
    for (std::size_t i = 0; i < kMethodRows.size(); ++i)
        if (kMethodRows[i].method == settings().method)
            controls_.cboMethod->setCurrentIndex(int(i));
    const bool named = settings().palette.kind == PaletteChoice::Kind::Named;
    // "These colours:" with none typed yet shows the mode's own colours in force.
    controls_.cboPalette->setCurrentIndex(awaitingColours_ ? 2 : static_cast<int>(settings().palette.kind));
    if (named)
        controls_.txtPalette->setText(text(paletteText(settings().palette)));
    else if (awaitingColours_)
        controls_.txtPalette->clear();
    controls_.cboFit->setCurrentIndex(static_cast<int>(settings().fit));
    controls_.cboBar->setCurrentIndex(settings().barColour);
    for (const NumberRow& row : kNumberRows)
        if (QDoubleSpinBox* box = numberBox(row.option)) {
            const QSignalBlocker quiet(box);
            box->setValue(numberOf(settings(), row.option));
        }

    const bool readsPalette = readsOption(settings(), Option::Palette);
    controls_.cboMethod->setEnabled(readsOption(settings(), Option::Method));
    controls_.cboPalette->setEnabled(readsPalette);
    controls_.txtPalette->setEnabled(readsPalette && controls_.cboPalette->currentIndex() == 2);
    controls_.spnDamping->setEnabled(readsOption(settings(), Option::Damping));
    controls_.cboBar->setEnabled(readsOption(settings(), Option::Bar));
    const QSignalBlocker nula(controls_.chkNula);
    controls_.chkNula->setChecked(settings().nula);
    controls_.chkNula->setEnabled(readsOption(settings(), Option::Nula));
    const QSignalBlocker raster(controls_.chkRaster);
    controls_.chkRaster->setChecked(settings().raster);
    controls_.chkRaster->setEnabled(readsOption(settings(), Option::Raster));
}

namespace {

// A swatch of each NuLA colour, darkest first, as rich text.
QString nulaSwatches(const Screen& image)
{
    QString swatches;
    for (int logical = 0; logical < image.logicalColours(); ++logical) {
        const Color colour = nulaRgb((*image.palette().nula)[static_cast<std::size_t>(logical)]);
        swatches += QStringLiteral("<span style=\"background-color:#%1\">&nbsp;&nbsp;&nbsp;</span>&nbsp;")
                        .arg(toRgb32(colour) & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
    }
    return swatches;
}

}  // namespace

void PictureOptions::showPalette(const Conversion& conversion)
{
    if (conversion.screen.hasNula()) {
        controls_.lblPalette->setTextFormat(Qt::RichText);
        controls_.lblPalette->setText(nulaSwatches(conversion.screen));
        QString bytes;
        for (const std::uint8_t byte : nulaRegisterBytes(conversion.screen))
            bytes += QStringLiteral("%1 ").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
        controls_.lblPalette->setToolTip(QStringLiteral("The VideoNuLA colours, set up in BBC BASIC by:\n%1\n\n"
                                                        "The bytes written to &FE23:\n%2")
                                             .arg(QString::fromStdString(nulaSetupStatements(conversion.screen)),
                                                  bytes.trimmed()));
        return;
    }
    controls_.lblPalette->setTextFormat(Qt::PlainText);
    controls_.lblPalette->setToolTip(QStringLiteral("The BBC BASIC statement that sets up the palette of the "
                                                    "picture on the left"));
    std::string statement;
    if (conversion.screen.mode != nullptr)
        statement = paletteStatement(conversion.screen.palette().physical, *conversion.screen.mode);
    controls_.lblPalette->setText(statement.empty() ? QStringLiteral("The mode's own colours")
                                                    : QString::fromStdString(statement));
}

void PictureOptions::clearPalette()
{
    controls_.lblPalette->clear();
}
