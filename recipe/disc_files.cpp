#include "recipe/disc_files.h"

#include <QFile>
#include <QFileInfo>

#include <cassert>

DiscKind discKind(const QString& file)
{
    if (file.endsWith(QStringLiteral(".dsd"), Qt::CaseInsensitive))
        return DiscKind::DoubleSided;
    if (file.endsWith(QStringLiteral(".mmb"), Qt::CaseInsensitive))
        return DiscKind::Mmb;
    return DiscKind::Single;
}

QStringList numberedFiles(const QString& file, std::size_t count)
{
    if (count == 1)
        return {file};
    const bool ending = file.endsWith(QStringLiteral(".ssd"), Qt::CaseInsensitive) ||
                        file.endsWith(QStringLiteral(".dsd"), Qt::CaseInsensitive);
    const QString base = ending ? file.chopped(4) : file;
    QStringList files;
    for (std::size_t disc = 1; disc <= count; ++disc)
        files << QStringLiteral("%1-%2%3").arg(base).arg(disc).arg(ending ? file.right(4) : QString());
    return files;
}

QString fileStem(const QString& picture)
{
    const QString name = QFileInfo(picture).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

std::optional<QString> overwrittenPicture(const QStringList& discFiles, const QStringList& pictures)
{
    for (const QString& disc : discFiles)
        for (const QString& picture : pictures) {
            const QString path = QFileInfo(picture).canonicalFilePath();
            if (!path.isEmpty() && QFileInfo(disc).canonicalFilePath() == path)
                return picture;
        }
    return std::nullopt;
}

FileSet discFileSet(const QStringList& discFiles, const DiscSet& discs)
{
    assert(discs.files.size() == static_cast<std::size_t>(discFiles.size()));
    FileSet set;
    for (std::size_t i = 0; i < discs.files.size(); ++i)
        set.files.push_back({QFile::encodeName(discFiles[static_cast<qsizetype>(i)]).toStdString(), discs.files[i]});
    return set;
}

std::size_t discCount(const DiscSet& discs, DiscKind kind)
{
    return kind == DiscKind::Mmb ? discs.discs : discs.files.size();
}
