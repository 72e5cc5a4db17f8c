#pragma once

#include <string>

#include "platform/file_set.h"
#include "ui/user_dialogs.h"

#include <QString>

struct Failure;

// The texts the window shows about opening pictures and writing files. Paths
// are shown with the platform's separators.

// The working folder, where "$.screen" goes; a plain description when the
// folder no longer exists.
QString currentFolderForDisplay();

QString openedStatus(const QString& path);
QString openFailedStatus(const QString& path, const QString& reason);
UserMessage openFailedMessage(const QString& path, const QString& reason);

// The files written and the earlier ones removed ("Wrote $.screen and
// $.screen.inf and removed $.screen.nula and $.screen.nula.inf in FOLDER").
QString writtenStatus(const FilesReplaced& files, const QString& folder);
// After a picture option changed: the picture is shown converted with it,
// nothing written.
QString previewStatus();
// A status with the conversion's note after it, as a sentence of its own;
// the status alone when there is no note.
QString withNote(const QString& status, const std::string& note);
QString writeFailedStatus(const Failure& error, const QString& folder);
// "Convert" before any picture has been sampled: there is nothing to convert.
QString nothingToConvertStatus();
// While direct binary search, which takes a while, runs on the worker
// thread: for a conversion that writes the files when it ends, or for one
// that only shows new options.
QString slowConversionStatus(bool writes);
// After "Stop": what was stopped, and that it left the files and the
// picture on the left as they were.
QString stoppedStatus(bool writes);
UserMessage writeFailedMessage(const Failure& error, const QString& folder);

// While File › "Export Disc Image..." packs the screen with the slow,
// thorough search on the worker thread.
QString packingStatus(const QString& file);
// A save or export whose dialog was cancelled: nothing was written.
QString cancelledStatus(const QString& command);
// `status` after `earlier`, which stays on show beside it.
QString followingStatus(const QString& earlier, const QString& status);
// A number typed outside its range was not taken.
QString outOfRangeStatus(const QString& caption, const QString& typed, double min, double max);

// After File › "Export Disc Image..." or "Save Screen As...": the files
// written (all in one folder), and those removed, or why none was.
QString savedStatus(const QStringList& files);
QString savedStatus(const FilesReplaced& files);
QString saveFailedStatus(const Failure& error);
UserMessage saveFailedMessage(const Failure& error);

// File › "Export Slideshow Disc...": while picture `number` (from 1) of
// `count` is converted; when the discs are written, how many pictures went
// onto how many discs and the files ("12 pictures on 2 discs: show-1.ssd,
// show-2.ssd"); after "Stop"; and when nothing was written because a
// picture could not be read or converted, or the discs could not be made.
QString slideshowProgressStatus(int number, int count, const QString& picture);
QString slideshowWrittenStatus(int pictures, int discs, const QStringList& files);
QString slideshowStoppedStatus();
QString slideshowFailedStatus(const Failure& error);
UserMessage slideshowFailedMessage(const Failure& error);
