#include "ui/frm_about.h"

#include "platform/version.h"

#include <QLabel>
#include <QPushButton>

#include <array>

namespace {

struct TextRecord {
    const char* name;
    int left, top, width, height;
    const char* text;
    const char* fontFamily;
    int fontPixels;
};

// The box's texts in the order of creation; the version line gets its number
// when the box opens.
constexpr std::array<TextRecord, 5> kAboutTexts{{
    {"StaticText1", 25, 75, 74, 18, "Built with", "MS Sans Serif", 10},
    {"StaticText2", 25, 55, 172, 18, "By the Rasterine developers", "Helvetica", 12},
    {"StaticText3", 25, 21, 277, 17, "Rasterine", "Helvetica", 12},
    {"lblVersion", 25, 38, 277, 16, "Version", "Helvetica", 12},
    {"StaticText10", 105, 75, 117, 18, "C++20 and Qt 6", "MS Sans Serif", 10},
}};

QFont fontOf(const char* family, int pixels)
{
    QFont font{QString::fromLatin1(family)};
    font.setPixelSize(pixels);
    return font;
}

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Rasterine"));
    setFixedSize(366, 143);
    setModal(true);
    CreateControls();
    Open();
}

void frmAbout::CreateControls()
{
    for (const TextRecord& record : kAboutTexts) {
        auto* label = new QLabel(QString::fromUtf8(record.text), this);
        label->setObjectName(QString::fromLatin1(record.name));
        label->setGeometry(record.left, record.top, record.width, record.height);
        label->setFont(fontOf(record.fontFamily, record.fontPixels));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        if (label->objectName() == QLatin1String("lblVersion"))
            lblVersion_ = label;
    }

    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(256, 99, 90, 24);
    cmdOK->setFont(fontOf("Helvetica", 10));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Action);
}

void frmAbout::Open()
{
    lblVersion_->setText(QStringLiteral("Version %1").arg(QString::fromLatin1(kRasterineVersion)));
}

void frmAbout::cmdOK_Action()
{
    accept();
}
