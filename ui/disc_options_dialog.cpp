#include "ui/disc_options_dialog.h"

#include "conversion/option_catalogue.h"
#include "outputs/boot_discs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSpinBox>

namespace {

// DFS keeps 12 characters of title; quotes would end *TITLE's argument.
constexpr const char* kTitlePattern = "[ !#-~]{0,12}";

struct DiscOptionControls {
    QComboBox* tracks;
    QLineEdit* title;
    QSpinBox* delay;
    QCheckBox* thorough;
};

DiscOptionControls addControls(QDialog& dialog, QFormLayout& form, const DiscOptions& start, bool askDelay)
{
    auto* tracks = new QComboBox(&dialog);
    tracks->setObjectName(QStringLiteral("cboTracks"));
    tracks->addItem(QStringLiteral("40 tracks (100 KiB)"), 40);
    tracks->addItem(QStringLiteral("80 tracks (200 KiB)"), 80);
    tracks->setCurrentIndex(start.tracks == 40 ? 0 : 1);
    tracks->setToolTip(QStringLiteral("The disc's size: 40 tracks fit every drive, 80 tracks hold twice as much"));
    form.addRow(QStringLiteral("Disc size:"), tracks);

    auto* title = new QLineEdit(start.title, &dialog);
    title->setObjectName(QStringLiteral("txtTitle"));
    title->setValidator(new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(kTitlePattern)), title));
    title->setToolTip(QStringLiteral("The title the disc's catalogue shows: up to 12 characters, no quotes"));
    if (askDelay) {
        // A slideshow's discs are numbered; their titles are the command line's.
        title->setText(QStringLiteral("SLIDES 1, SLIDES 2 \u2026"));
        title->setReadOnly(true);
        title->setToolTip(QStringLiteral("A slideshow's discs are titled SLIDES 1, SLIDES 2 \u2026 in showing order"));
    }
    form.addRow(QStringLiteral("Title:"), title);

    QSpinBox* delay = nullptr;
    if (askDelay) {
        delay = new QSpinBox(&dialog);
        delay->setObjectName(QStringLiteral("spnDelay"));
        delay->setRange(0, kMaxSlideDelaySeconds);
        delay->setSuffix(QStringLiteral(" s"));
        delay->setSpecialValueText(QStringLiteral("Wait for a key"));
        delay->setValue(start.delaySeconds);
        delay->setToolTip(QStringLiteral("How long each picture stays before the next, 0 to %1 seconds; a key "
                                         "always moves on, and \u201cWait for a key\u201d waits for one")
                              .arg(kMaxSlideDelaySeconds));
        form.addRow(QStringLiteral("Each picture for:"), delay);
    }

    auto* thorough = new QCheckBox(QString::fromUtf8(packingRow(true).caption.data(), qsizetype(packingRow(true).caption.size())),
                                   &dialog);
    thorough->setObjectName(QStringLiteral("chkThorough"));
    thorough->setChecked(start.thorough);
    thorough->setToolTip(QStringLiteral("Search every offset when packing each screen: a little smaller, as "
                                        "small as the format's reference compressor makes it, but up to a few "
                                        "seconds a picture instead of a twentieth"));
    form.addRow(thorough);
    return {tracks, title, delay, thorough};
}

}  // namespace

std::optional<DiscOptions> chooseDiscOptions(QWidget* parent, const DiscOptions& start, bool askDelay)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmDiscOptions"));
    dialog.setWindowTitle(QStringLiteral("Disc Options"));
    auto* form = new QFormLayout(&dialog);
    const DiscOptionControls controls = addControls(dialog, *form, start, askDelay);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return DiscOptions{controls.tracks->currentData().toInt(), askDelay ? start.title : controls.title->text(),
                       controls.delay ? controls.delay->value() : start.delaySeconds, controls.thorough->isChecked()};
}
