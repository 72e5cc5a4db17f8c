#include "ui/edit/palette_panel.h"

#include "conversion/painter.h"
#include "ui/edit/screen_document.h"
#include "ui/edit/screen_image.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

namespace {

// Physical colour n is red + 2 green + 4 blue.
constexpr std::array<const char*, 8> kPhysicalNames{"0 Black", "1 Red",     "2 Green", "3 Yellow",
                                                    "4 Blue",  "5 Magenta", "6 Cyan",  "7 White"};

QIcon colourIcon(QRgb colour)
{
    QPixmap pixmap(18, 18);
    pixmap.fill(QColor::fromRgb(colour));
    return QIcon(pixmap);
}

QSpinBox* channelBox(QWidget* parent, const char* name, const QString& prefix)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, 15);
    box->setPrefix(prefix);
    return box;
}

}  // namespace

PalettePanel::PalettePanel(QWidget* parent) : QWidget(parent)
{
    swatchGroup_ = new QButtonGroup(this);
    swatchGroup_->setExclusive(true);
    auto* swatchRow = new QHBoxLayout;
    swatchRow->setSpacing(2);
    for (int logical = 0; logical < kNulaEntries; ++logical) {
        auto* swatch = new QToolButton(this);
        swatch->setObjectName(QStringLiteral("swatch%1").arg(logical));
        swatch->setCheckable(true);
        swatch->setToolTip(QStringLiteral("Logical colour %1").arg(logical));
        swatchGroup_->addButton(swatch, logical);
        swatchRow->addWidget(swatch);
        swatches_.push_back(swatch);
    }
    swatchRow->addStretch(1);

    lblColour_ = new QLabel(this);
    lblColour_->setObjectName(QStringLiteral("lblColour"));
    cboPhysical_ = new QComboBox(this);
    cboPhysical_->setObjectName(QStringLiteral("cboPhysical"));
    for (int physical = 0; physical < 8; ++physical)
        cboPhysical_->addItem(colourIcon(toRgb32(physicalRgb(physical))), QString::fromLatin1(kPhysicalNames[std::size_t(physical)]));
    spnRed_ = channelBox(this, "spnRed", QStringLiteral("R "));
    spnGreen_ = channelBox(this, "spnGreen", QStringLiteral("G "));
    spnBlue_ = channelBox(this, "spnBlue", QStringLiteral("B "));
    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(lblColour_);
    for (QWidget* control : std::initializer_list<QWidget*>{cboPhysical_, spnRed_, spnGreen_, spnBlue_})
        colourRow->addWidget(control);
    colourRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(swatchRow);
    layout->addLayout(colourRow);

    connect(swatchGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        setColour(static_cast<std::uint8_t>(id));
        emit colourChosen(colour_);
    });
    connect(cboPhysical_, &QComboBox::activated, this, &PalettePanel::physicalPicked);
    for (QSpinBox* box : {spnRed_, spnGreen_, spnBlue_})
        connect(box, &QSpinBox::valueChanged, this, &PalettePanel::nulaPicked);
    showPalette();
}

void PalettePanel::setDocument(ScreenDocument* document)
{
    if (document_ != nullptr)
        disconnect(document_, nullptr, this, nullptr);
    document_ = document;
    line_ = 0;
    if (document != nullptr) {
        connect(document, &ScreenDocument::paletteChanged, this, &PalettePanel::showPalette);
        if (document->editable() && colour_ >= document->screen().logicalColours())
            colour_ = 1;
    }
    showPalette();
}

void PalettePanel::setColour(std::uint8_t colour)
{
    colour_ = colour;
    showPalette();
}

void PalettePanel::setLine(int line)
{
    line_ = line;
    showPalette();
}

void PalettePanel::showPalette()
{
    showing_ = true;
    const bool editable = document_ != nullptr && document_->editable();
    const int colours = editable ? document_->screen().logicalColours() : 0;
    for (int logical = 0; logical < int(swatches_.size()); ++logical) {
        QToolButton* swatch = swatches_[std::size_t(logical)];
        swatch->setVisible(logical < colours);
        if (logical < colours)
            swatch->setIcon(colourIcon(shownColour(document_->screen(), line_, std::uint8_t(logical))));
        swatch->setChecked(logical == colour_);
    }
    const LinePalette* palette = editable ? &document_->screen().paletteAt(line_) : nullptr;
    const bool nula = palette != nullptr && palette->nula.has_value();
    lblColour_->setVisible(editable);
    lblColour_->setText(QStringLiteral("Colour %1 on line %2:").arg(colour_).arg(line_));
    cboPhysical_->setVisible(editable && !nula);
    for (QSpinBox* box : {spnRed_, spnGreen_, spnBlue_})
        box->setVisible(nula);
    if (palette != nullptr && !nula)
        cboPhysical_->setCurrentIndex(palette->physical[colour_ & 7]);
    if (nula) {
        const NulaColour colour = (*palette->nula)[colour_ & 15];
        spnRed_->setValue(colour.red);
        spnGreen_->setValue(colour.green);
        spnBlue_->setValue(colour.blue);
    }
    showing_ = false;
}

void PalettePanel::physicalPicked(int physical)
{
    if (showing_ || document_ == nullptr || !document_->editable())
        return;
    document_->setPhysicalColour(line_, colour_, static_cast<std::uint8_t>(physical));
}

void PalettePanel::nulaPicked()
{
    if (showing_ || document_ == nullptr || !document_->editable())
        return;
    const auto channel = [](QSpinBox* box) { return static_cast<std::uint8_t>(box->value()); };
    document_->setNulaColour(line_, colour_, NulaColour{channel(spnRed_), channel(spnGreen_), channel(spnBlue_)});
}
