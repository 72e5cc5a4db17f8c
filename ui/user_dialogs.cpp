#include "ui/user_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

QString chooseFileToOpen(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), QString(),
                                        QStringLiteral("Any (*)"));
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
