#include "ui/status_texts.h"

#include "outputs/screen_files.h"
#include "platform/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

const QString kTitle = QStringLiteral("Rasterine");

QString quoted(const QString& text)
{
    return QStringLiteral("“%1”").arg(text);
}

QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// "a", "a and b", "a, b and c".
QString listed(const QStringList& items)
{
    if (items.size() < 2)
        return items.join(QString());
    return QStringLiteral("%1 and %2").arg(items.first(items.size() - 1).join(QStringLiteral(", ")), items.last());
}

// The names of `files` without their folder, each passed through `shown`.
QStringList fileNames(const std::vector<std::string>& files, QString (*shown)(const QString&))
{
    QStringList names;
    for (const std::string& file : files)
        names << shown(QFileInfo(QFile::decodeName(file.c_str())).fileName());
    return names;
}

QString asIs(const QString& text)
{
    return text;
}

// "A and B" written, then "and removed C and D" when any were removed.
QString writtenAndRemoved(const FilesReplaced& files, QString (*shown)(const QString&))
{
    const QString written = listed(fileNames(files.written, shown));
    if (files.removed.empty())
        return written;
    return QStringLiteral("%1 and removed %2").arg(written, listed(fileNames(files.removed, shown)));
}

}  // namespace

QString currentFolderForDisplay()
{
    const QString folder = QDir::currentPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return QStringLiteral("the working folder (which no longer exists)");
    return nativePath(folder);
}

QString openedStatus(const QString& path)
{
    return QStringLiteral("Opened %1. Converting…").arg(quoted(QFileInfo(path).fileName()));
}

QString openFailedStatus(const QString& path, const QString& reason)
{
    return QStringLiteral("Could not open %1: %2").arg(quoted(QFileInfo(path).fileName()), reason);
}

UserMessage openFailedMessage(const QString& path, const QString& reason)
{
    return UserMessage{UserMessage::Severity::Warning, kTitle,
                       QStringLiteral("Could not open %1: %2.\n\nThe picture on screen was kept.")
                           .arg(quoted(nativePath(path)), reason)};
}

QString writtenStatus(const FilesReplaced& files, const QString& folder)
{
    return QStringLiteral("Wrote %1 in %2").arg(writtenAndRemoved(files, asIs), folder);
}

QString withNote(const QString& status, const std::string& note)
{
    if (note.empty())
        return status;
    QString sentence = QString::fromStdString(note);
    sentence[0] = sentence[0].toUpper();
    return status + QStringLiteral(". ") + sentence;
}

QString previewStatus()
{
    return QStringLiteral("Shown with the new options; \u201cConvert\u201d writes %1 and %2")
        .arg(QString::fromLatin1(kScreenFileName), QString::fromStdString(infFileName(kScreenFileName)));
}

QString nothingToConvertStatus()
{
    return QStringLiteral("Nothing written: there is no picture to convert yet; open one with File \u203a \u201cOpen...\u201d");
}

QString slowConversionStatus(bool writes)
{
    if (!writes)
        return QStringLiteral("Converting with direct binary search to show the new options\u2026");
    return QStringLiteral("Converting with direct binary search\u2026 %1 and %2 are written when it ends")
        .arg(QString::fromLatin1(kScreenFileName), QString::fromStdString(infFileName(kScreenFileName)));
}

QString stoppedStatus(bool writes)
{
    if (!writes)
        return QStringLiteral("Stopped: the picture on the left is as it was");
    return QStringLiteral("Stopped: nothing written; %1 and %2 are as they were")
        .arg(QString::fromLatin1(kScreenFileName), QString::fromStdString(infFileName(kScreenFileName)));
}

QString writeFailedStatus(const Failure& error, const QString& folder)
{
    return QStringLiteral("Nothing written: could not write %1 in %2: %3")
        .arg(nativePath(QString::fromStdString(error.subject)), folder,
             QString::fromStdString(error.reason));
}

UserMessage writeFailedMessage(const Failure& error, const QString& folder)
{
    return UserMessage{
        UserMessage::Severity::Error, kTitle,
        QStringLiteral("Could not write %1 in %2: %3.\n\nFiles already there were left unchanged.")
            .arg(quoted(nativePath(QString::fromStdString(error.subject))), folder,
                 QString::fromStdString(error.reason))};
}

QString savedStatus(const QStringList& files)
{
    QStringList names;
    for (const QString& file : files)
        names << quoted(QFileInfo(file).fileName());
    return QStringLiteral("Wrote %1 in %2")
        .arg(listed(names), nativePath(QFileInfo(files.value(0)).absolutePath()));
}

QString savedStatus(const FilesReplaced& files)
{
    const QString folder = QFileInfo(QFile::decodeName(files.written.front().c_str())).absolutePath();
    return QStringLiteral("Wrote %1 in %2").arg(writtenAndRemoved(files, quoted), nativePath(folder));
}

QString saveFailedStatus(const Failure& error)
{
    return QStringLiteral("Nothing written: could not write %1: %2")
        .arg(nativePath(QString::fromStdString(error.subject)), QString::fromStdString(error.reason));
}

UserMessage saveFailedMessage(const Failure& error)
{
    return UserMessage{UserMessage::Severity::Error, kTitle,
                       QStringLiteral("Could not write %1: %2.\n\nFiles already there were left unchanged.")
                           .arg(quoted(nativePath(QString::fromStdString(error.subject))),
                                QString::fromStdString(error.reason))};
}

QString slideshowProgressStatus(int number, int count, const QString& picture)
{
    return QStringLiteral("Making the slideshow: converting picture %1 of %2, %3\u2026")
        .arg(number)
        .arg(count)
        .arg(quoted(QFileInfo(picture).fileName()));
}

QString slideshowWrittenStatus(int pictures, int discs, const QStringList& files)
{
    QStringList names;
    for (const QString& file : files)
        names << QFileInfo(file).fileName();
    return QStringLiteral("%1 %2 on %3 %4: %5")
        .arg(pictures)
        .arg(pictures == 1 ? QStringLiteral("picture") : QStringLiteral("pictures"))
        .arg(discs)
        .arg(discs == 1 ? QStringLiteral("disc") : QStringLiteral("discs"))
        .arg(names.join(QStringLiteral(", ")));
}

QString slideshowStoppedStatus()
{
    return QStringLiteral("Stopped: no slideshow disc was written");
}

QString slideshowFailedStatus(const Failure& error)
{
    return QStringLiteral("No slideshow disc written: %1: %2")
        .arg(nativePath(QString::fromStdString(error.subject)), QString::fromStdString(error.reason));
}

UserMessage slideshowFailedMessage(const Failure& error)
{
    return UserMessage{UserMessage::Severity::Error, kTitle,
                       QStringLiteral("%1: %2.\n\nNo slideshow disc was written; files already there were "
                                      "left unchanged.")
                           .arg(quoted(nativePath(QString::fromStdString(error.subject))),
                                QString::fromStdString(error.reason))};
}

QString packingStatus(const QString& file)
{
    return QStringLiteral("Packing the screen for %1 with the smallest packing\u2026")
        .arg(quoted(QFileInfo(file).fileName()));
}

QString cancelledStatus(const QString& command)
{
    return QStringLiteral("%1 cancelled: nothing written").arg(quoted(command));
}

QString followingStatus(const QString& earlier, const QString& status)
{
    return QStringLiteral("%1. Then: %2").arg(earlier, status);
}

QString outOfRangeStatus(const QString& caption, const QString& typed, double min, double max)
{
    return QStringLiteral("%1 %2 not taken: give a number from %3 to %4").arg(caption, typed).arg(min).arg(max);
}
