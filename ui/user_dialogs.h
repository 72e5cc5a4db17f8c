#pragma once

#include <QString>
#include <QStringList>

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
// Asks the user for several files to open, in the order they are to be
// used; none when they cancel.
using FilesChooser = std::function<QStringList(QWidget* parent)>;

// What a save dialog asks for: its caption, the file it starts at (folder
// and suggested name) and the types it offers ("Disc images (*.ssd)").
struct SaveRequest {
    QString caption;
    QString startAt;
    QString filter;
};
// Asks the user where to save; an empty string when they cancel.
using SaveChooser = std::function<QString(QWidget* parent, const SaveRequest& request)>;
// Shows a message to the user. It may return before the user has read it.
using MessageReporter = std::function<void(QWidget* parent, const UserMessage& message)>;

// The open dialog's types: "Any" first, then "Pictures", the types Qt's
// image readers installed here decode.
QString openDialogFilter();

// The standard open dialog offering the types of openDialogFilter.
QString chooseFileToOpen(QWidget* parent);

// The standard open dialog for several files, offering the types of
// openDialogFilter.
QStringList chooseFilesToOpen(QWidget* parent);

// The standard save dialog, which asks before replacing a file. A name
// typed without an extension gets the one of the type chosen, when that
// type has one (see pathForFilter).
QString chooseFileToSave(QWidget* parent, const SaveRequest& request);

// `path`, or when it has no extension and `filter` is a type of one
// extension ("Double-sided DFS disc images (*.dsd)"), `path` with it.
QString pathForFilter(const QString& path, const QString& filter);

// A message box over `parent` that closes itself when dismissed. It does not
// wait for the user, so no other work of the window runs inside it.
void showMessageBox(QWidget* parent, const UserMessage& message);
