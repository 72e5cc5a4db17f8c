#pragma once

#include <QString>

#include <functional>

class QWidget;

// Something to tell the user in a message box.
struct UserMessage {
    enum class Severity { Warning, Error };
    Severity severity = Severity::Warning;
    QString title;
    QString text;
};

// Asks the user for a file to open; an empty string when they cancel.
using FileChooser = std::function<QString(QWidget* parent)>;
// Shows a message to the user. It may return before the user has read it.
using MessageReporter = std::function<void(QWidget* parent, const UserMessage& message)>;

// The standard open dialog offering every file under the type "Any".
QString chooseFileToOpen(QWidget* parent);

// A message box over `parent` that closes itself when dismissed. It does not
// wait for the user, so no other work of the window runs inside it.
void showMessageBox(QWidget* parent, const UserMessage& message);
