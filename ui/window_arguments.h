#pragma once

#include "platform/failure.h"

#include <QString>
#include <QStringList>

#include <optional>

// What `rasterine [PICTURE]` is asked for on its command line.

// The picture to open at start (empty: none) and any further names, which
// are not opened: the window shows one picture at a time.
struct StartPictures {
    QString picture;
    QStringList notOpened;
};

// For --help (-h) or --version (-v) anywhere before "--": the text to print
// on standard output before leaving. Read from the arguments as the system
// passed them, before Qt is started, so that it needs no display.
std::optional<QString> helpOrVersion(const QStringList& arguments);

// The pictures named once Qt has taken its own options (-platform, -style,
// ...) out of `arguments` (program name first), or the first option that
// is neither Qt's nor Rasterine's, as a failure whose subject is the
// program's name. After "--" every argument is a name.
Result<StartPictures> startPictures(const QStringList& arguments);

// The line to print after such a failure, saying where to look.
QString windowUsageHint();

// Said on standard error and in the status line when more than one picture
// was named: which were not opened, and why.
QString notOpenedNote(const StartPictures& pictures);
