#pragma once

#include "ui/user_dialogs.h"

#include <QString>

struct FileError;

// The texts the window shows about opening pictures and writing files. Paths
// are shown with the platform's separators.

// The working folder, where "$.screen" goes; a plain description when the
// folder no longer exists.
QString currentFolderForDisplay();

QString openedStatus(const QString& path, const QString& warning);
QString openFailedStatus(const QString& path, const QString& reason);
UserMessage openFailedMessage(const QString& path, const QString& reason);

QString writtenStatus(const QString& folder);
QString writeFailedStatus(const FileError& error, const QString& folder);
UserMessage writeFailedMessage(const FileError& error, const QString& folder);
