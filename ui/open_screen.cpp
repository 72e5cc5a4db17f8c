#include "ui/open_screen.h"

#include <QMessageBox>

std::optional<OpenedScreen> openScreen(QWidget* parent, const QString& path)
{
    QMessageBox::warning(parent, QStringLiteral("Open Screen"),
                         QStringLiteral("%1 cannot be opened as a screen.").arg(path));
    return std::nullopt;
}

bool looksLikeScreen(const QString&)
{
    return false;
}
