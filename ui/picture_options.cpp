#include "ui/picture_options.h"

#include "conversion/methods/palette_search.h"
#include "conversion/painter.h"
#include "outputs/nula_setup.h"
#include "conversion/screen_modes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>

#include <array>
#include <utility>

namespace {

// The method's names in the order of kAllMethods.
constexpr std::array<const char*, kAllMethods.size()> kMethodCaptions{
    "Classic half-tone", "Floyd\u2013Steinberg",    "Atkinson",   "Sierra Lite",
    "Jarvis\u2013Judice\u2013Ninke", "Stucki", "Bayer 8\u00d78", "Blue noise",
    "Direct binary search (slow)"};

// The palette choices, by PaletteChoice::Kind.
constexpr std::array<const char*, 3> kPaletteCaptions{"Default", "Best for this picture", "These colours:"};

constexpr std::array<const char*, 3> kFitCaptions{"Stretch", "Fit", "Fill"};  // by Fit

// The physical colours 0..7, the bars' colours.
constexpr std::array<const char*, 8> kColourNames{"Black", "Red",     "Green", "Yellow",
                                                  "Blue",  "Magenta", "Cyan",  "White"};

template <std::size_t N>
void fill(QComboBox* box, const std::array<const char*, N>& captions)
{
    for (const char* caption : captions)
        box->addItem(QString::fromUtf8(caption));
}

// Why `choice` cannot be used in `mode`, when the mode lets the palette be
// chosen at all; a choice made in mode 2 or 7 is checked once a
// four- or two-colour mode is picked, where it takes effect.
QString paletteRefusal(const PaletteChoice& choice, int mode)
{
    const ScreenMode* record = findScreenMode(mode);
    if (record == nullptr || record->numcols == 8)
        return {};
    return QString::fromStdString(paletteProblem(choice, mode));
}

}  // namespace

PictureOptions::PictureOptions(const PictureOptionControls& controls, std::function<int()> currentMode,
                               QObject* parent)
    : QObject(parent), controls_(controls), currentMode_(std::move(currentMode))
{
    setUpChoices();
    // The command line's ranges.
    follow(controls_.spnBrightness, -1, 1, [](Settings& s) -> float& { return s.adjustments.brightness; });
    follow(controls_.spnContrast, 0, 4, [](Settings& s) -> float& { return s.adjustments.contrast; });
    follow(controls_.spnSaturation, 0, 4, [](Settings& s) -> float& { return s.adjustments.saturation; });
    follow(controls_.spnGamma, 0.2, 5, [](Settings& s) -> float& { return s.adjustments.gamma; });
    follow(controls_.spnDamping, 0, 1, [](Settings& s) -> float& { return s.damping; });
    controls_.lblPalette->setTextInteractionFlags(Qt::TextSelectableByMouse);
    controls_.lblPalette->setToolTip(QStringLiteral("The BBC BASIC statement that sets up the palette of the "
                                                    "picture on the left"));
}

void PictureOptions::setUpChoices()
{
    fill(controls_.cboMethod, kMethodCaptions);
    fill(controls_.cboPalette, kPaletteCaptions);
    fill(controls_.cboFit, kFitCaptions);
    fill(controls_.cboBar, kColourNames);
    controls_.txtPalette->setPlaceholderText(QStringLiteral("e.g. 0,4,6,7"));
    controls_.txtPalette->setToolTip(QStringLiteral("Physical colours 0-7 of the logical colours, "
                                                    "two for modes 0 and 4, four for modes 1 and 5"));
    connect(controls_.cboMethod, &QComboBox::currentIndexChanged, this, &PictureOptions::methodPicked);
    connect(controls_.cboPalette, &QComboBox::currentIndexChanged, this, &PictureOptions::paletteKindPicked);
    connect(controls_.txtPalette, &QLineEdit::editingFinished, this, &PictureOptions::paletteTyped);
    connect(controls_.cboFit, &QComboBox::currentIndexChanged, this, &PictureOptions::fitPicked);
    controls_.chkNula->setToolTip(QStringLiteral("Each logical colour any of 4,096 colours chosen for the picture, "
                                                 "for a BBC Micro with VideoNuLA (with a method other than classic)"));
    connect(controls_.chkNula, &QCheckBox::toggled, this, [this](bool checked) {
        Settings next = settings_;
        next.nula = checked;
        store(next);
        modePicked();
    });
    connect(controls_.cboBar, &QComboBox::currentIndexChanged, this, [this](int colour) {
        Settings next = settings_;
        next.barColour = static_cast<std::uint8_t>(colour);
        store(next);
    });
    methodPicked();
    paletteKindPicked();
    fitPicked();
}

// Two decimals, as the command line's numbers are usually written; a typed
// value counts once it is complete (Return or leaving the box).
void PictureOptions::follow(QDoubleSpinBox* box, double min, double max, NumberField field)
{
    box->setDecimals(2);
    box->setRange(min, max);
    box->setSingleStep(max - min > 2 ? 0.1 : 0.05);
    box->setValue(field(settings_));
    box->setKeyboardTracking(false);
    connect(box, &QDoubleSpinBox::valueChanged, this, [this, field](double value) {
        Settings next = settings_;
        field(next) = static_cast<float>(value);
        store(next);
    });
}

void PictureOptions::methodPicked()
{
    Settings next = settings_;
    next.method = kAllMethods[static_cast<std::size_t>(controls_.cboMethod->currentIndex())];
    store(next);
    modePicked();
}

// "These colours:" takes the colours typed beside it, once there are some.
void PictureOptions::paletteKindPicked()
{
    const auto kind = static_cast<PaletteChoice::Kind>(controls_.cboPalette->currentIndex());
    modePicked();
    if (kind == PaletteChoice::Kind::Named) {
        if (!controls_.txtPalette->text().trimmed().isEmpty())
            paletteTyped();
        return;
    }
    Settings next = settings_;
    next.palette = PaletteChoice{kind, {}, 0};
    store(next);
}

void PictureOptions::paletteTyped()
{
    const QString text = controls_.txtPalette->text().trimmed();
    const auto choice = paletteNamed(text.toStdString());
    QString reason = QStringLiteral("give two or four physical colours 0-7 separated by commas");
    if (choice && choice->kind == PaletteChoice::Kind::Named)
        reason = paletteRefusal(*choice, currentMode_());
    if (!reason.isEmpty()) {
        emit refused(QStringLiteral("Palette \u201c%1\u201d not taken: %2").arg(text, reason));
        return;
    }
    Settings next = settings_;
    next.palette = *choice;
    store(next);
}

void PictureOptions::fitPicked()
{
    Settings next = settings_;
    next.fit = static_cast<Fit>(controls_.cboFit->currentIndex());
    store(next);
    modePicked();
}

// Enabled are the controls the next conversion reads: no method, palette or
// damping in mode 7, a palette only in the two- and four-colour modes with a
// linear-light method, damping only with error diffusion, bars only with Fit.
void PictureOptions::modePicked()
{
    const ScreenMode* mode = findScreenMode(currentMode_());
    const Method method = settings_.method;
    const bool choosesPalette =
        mode != nullptr && mode->numcols < 8 && method != Method::Classic && !settings_.nula;
    controls_.cboMethod->setEnabled(mode != nullptr);
    controls_.chkNula->setEnabled(mode != nullptr && method != Method::Classic);
    controls_.cboPalette->setEnabled(choosesPalette);
    controls_.txtPalette->setEnabled(choosesPalette && controls_.cboPalette->currentIndex() == 2);
    const bool diffuses = method == Method::FloydSteinberg || method == Method::Atkinson ||
                          method == Method::SierraLite || method == Method::Jarvis || method == Method::Stucki;
    controls_.spnDamping->setEnabled(mode != nullptr && diffuses);
    controls_.cboBar->setEnabled(settings_.fit == Fit::Whole);
}

void PictureOptions::store(const Settings& settings)
{
    if (settings == settings_)
        return;
    settings_ = settings;
    emit changed();
}

namespace {

// A swatch of each NuLA colour, darkest first, as rich text.
QString nulaSwatches(const ScreenImage& image)
{
    QString swatches;
    for (int logical = 0; logical < image.logicalColours(); ++logical) {
        const Color colour = nulaRgb((*image.nula)[static_cast<std::size_t>(logical)]);
        swatches += QStringLiteral("<span style=\"background-color:#%1\">&nbsp;&nbsp;&nbsp;</span>&nbsp;")
                        .arg(toRgb32(colour) & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
    }
    return swatches;
}

}  // namespace

void PictureOptions::showPalette(const Conversion& conversion)
{
    if (conversion.image.nula) {
        controls_.lblPalette->setTextFormat(Qt::RichText);
        controls_.lblPalette->setText(nulaSwatches(conversion.image));
        QString bytes;
        for (const std::uint8_t byte : nulaRegisterBytes(conversion.image))
            bytes += QStringLiteral("%1 ").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
        controls_.lblPalette->setToolTip(QStringLiteral("The VideoNuLA colours, set up in BBC BASIC by:\n%1\n\n"
                                                        "The bytes written to &FE23:\n%2")
                                             .arg(QString::fromStdString(nulaSetupStatements(conversion.image)),
                                                  bytes.trimmed()));
        return;
    }
    controls_.lblPalette->setTextFormat(Qt::PlainText);
    controls_.lblPalette->setToolTip(QStringLiteral("The BBC BASIC statement that sets up the palette of the "
                                                    "picture on the left"));
    std::string statement;
    if (conversion.image.mode != nullptr)
        statement = paletteStatement(conversion.image.palette, *conversion.image.mode);
    controls_.lblPalette->setText(statement.empty() ? QStringLiteral("The mode's own colours")
                                                    : QString::fromStdString(statement));
}
