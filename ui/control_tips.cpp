#include "ui/control_tips.h"

#include "conversion/option_catalogue.h"
#include "ui/frm_main_controls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

namespace {

// The button of mode 7 in the "BBC Screen Mode" group.
constexpr int kTeletextButton = 5;

QString modeSevenTip()
{
    const auto row = std::find_if(kOptionRows.begin(), kOptionRows.end(),
                                  [](const OptionRow& r) { return r.option == Option::Mode; });
    return QStringLiteral("%1 7: teletext, 40 \u00d7 25 character cells of 2 \u00d7 3 blocks each; "
                          "the half-tones and Stagger are not read")
        .arg(QString::fromStdString(capitalised(row->summary)));
}

// In the control table each caption label comes just before its control.
void shareTipsWithCaptions(QWidget* content)
{
    for (std::size_t i = 0; i + 1 < kMainWindowControls.size(); ++i) {
        const QString name = QString::fromLatin1(kMainWindowControls[i].name);
        if (kMainWindowControls[i].kind != ControlKind::Label || !name.endsWith(QStringLiteral("Caption")))
            continue;
        auto* caption = content->findChild<QLabel*>(name);
        const auto* control = content->findChild<QWidget*>(QString::fromLatin1(kMainWindowControls[i + 1].name));
        if (caption != nullptr && control != nullptr)
            caption->setToolTip(control->toolTip());
    }
}

}  // namespace

void addMainWindowTips(QWidget* content, QButtonGroup* optMode, QProgressBar* progress)
{
    optMode->button(kTeletextButton)->setToolTip(modeSevenTip());
    if (auto* group = content->findChild<QWidget*>(QStringLiteral("Frame3")))
        group->setToolTip(QStringLiteral("The command line's other options: how the picture is reduced to the "
                                         "screen's colours, and how it is placed and adjusted first"));
    progress->setToolTip(QStringLiteral("How far the conversion or slideshow running beside the window has got"));
    shareTipsWithCaptions(content);
}
