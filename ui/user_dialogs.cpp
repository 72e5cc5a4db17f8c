#include "ui/user_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QMessageBox>
#include <QRegularExpression>

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

QStringList chooseFilesToOpen(QWidget* parent)
{
    return QFileDialog::getOpenFileNames(parent, QStringLiteral("Open"), QString(), openDialogFilter());
}

QString chooseFileToSave(QWidget* parent, const SaveRequest& request)
{
    QString chosenFilter;
    const QString path =
        QFileDialog::getSaveFileName(parent, request.caption, request.startAt, request.filter, &chosenFilter);
    return pathForFilter(path, chosenFilter);
}

QString pathForFilter(const QString& path, const QString& filter)
{
    static const QRegularExpression oneExtension(QStringLiteral("\\(\\*\\.(\\w+)\\)$"));
    const QRegularExpressionMatch match = oneExtension.match(filter);
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty() || !match.hasMatch())
        return path;
    return path + QLatin1Char('.') + match.captured(1);
}

void showMessageBox(QWidget* parent, const UserMessage& message)
{
    const auto icon = message.severity == UserMessage::Severity::Error ? QMessageBox::Critical
                                                                       : QMessageBox::Warning;
    auto* box = new QMessageBox(icon, message.title, message.text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
