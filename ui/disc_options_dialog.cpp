#include "ui/disc_options_dialog.h"

#include "outputs/boot_discs.h"

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
};

DiscOptionControls addControls(QDialog& dialog, QFormLayout& form, const DiscOptions& start, bool askDelay)
{
    auto* tracks = new QComboBox(&dialog);
    tracks->setObjectName(QStringLiteral("cboTracks"));
    tracks->addItem(QStringLiteral("40 tracks (100 KiB)"), 40);
    tracks->addItem(QStringLiteral("80 tracks (200 KiB)"), 80);
    tracks->setCurrentIndex(start.tracks == 40 ? 0 : 1);
    form.addRow(QStringLiteral("Disc size:"), tracks);

    auto* title = new QLineEdit(start.title, &dialog);
    title->setObjectName(QStringLiteral("txtTitle"));
    title->setValidator(new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(kTitlePattern)), title));
    form.addRow(QStringLiteral("Title:"), title);

    QSpinBox* delay = nullptr;
    if (askDelay) {
        delay = new QSpinBox(&dialog);
        delay->setObjectName(QStringLiteral("spnDelay"));
        delay->setRange(0, kMaxSlideDelaySeconds);
        delay->setSuffix(QStringLiteral(" s"));
        delay->setSpecialValueText(QStringLiteral("Wait for a key"));
        delay->setValue(start.delaySeconds);
        form.addRow(QStringLiteral("Each picture for:"), delay);
    }
    return {tracks, title, delay};
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
    return DiscOptions{controls.tracks->currentData().toInt(), controls.title->text(),
                       controls.delay ? controls.delay->value() : start.delaySeconds};
}
