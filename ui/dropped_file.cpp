#include "ui/dropped_file.h"

#include <QMimeData>
#include <QUrl>

QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return QString();
    return urls.front().toLocalFile();
}
