#pragma once

#include <QString>

class QMimeData;

// The local file a drag carries, or an empty string when it carries anything
// else: no file, a remote address, or more than one file (Rasterine converts
// one picture at a time).
QString droppedFile(const QMimeData* data);
