#include "ui/user_dialogs.h"

#include <QFileDialog>
#include <QImageReader>
#include <QMessageBox>

QString openDialogFilter()
{
    QStringList patterns;
    for (const QByteArray& suffix : QImageReader::supportedImageFormats())
        // Both cases, since names are matched as written on some systems.
        for (const QString& name : {QString::fromLatin1(suffix).toLower(), QString::fromLatin1(suffix).toUpper()})
            patterns << QStringLiteral("*.") + name;
    return QStringLiteral("Any (*);;Pictures (%1)").arg(patterns.join(QLatin1Char(' ')));
}

QString chooseFileToOpen(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), QString(), openDialogFilter());
}

QString chooseFileToSave(QWidget* parent, const SaveRequest& request)
{
    return QFileDialog::getSaveFileName(parent, request.caption, request.startAt, request.filter);
}

void showMessageBox(QWidget* parent, const UserMessage& message)
{
    const auto icon = message.severity == UserMessage::Severity::Error ? QMessageBox::Critical
                                                                       : QMessageBox::Warning;
    auto* box = new QMessageBox(icon, message.title, message.text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
