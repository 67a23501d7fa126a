#include "utility/foldertrim.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <algorithm>

int FolderTrim::trim(const QString &folder, qint64 maxBytes, const std::function<bool(const QFileInfo &)> &keep)
{
    QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    qint64 total = 0;
    for (const QFileInfo &file : qAsConst(files))
        total += file.size();
    if (total <= maxBytes)
        return 0;
    std::sort(files.begin(), files.end(),
              [](const QFileInfo &a, const QFileInfo &b) { return a.lastModified() < b.lastModified(); });
    int removed = 0;
    for (const QFileInfo &file : qAsConst(files)) {
        if (total <= maxBytes)
            break;
        if (keep && keep(file))
            continue;
        if (QFile::remove(file.absoluteFilePath())) {
            total -= file.size();
            ++removed;
        } else {
            qWarning("FolderTrim: cannot remove %s", qUtf8Printable(file.absoluteFilePath()));
        }
    }
    qInfo("FolderTrim %s: %d files removed, %lld bytes left", qUtf8Printable(folder), removed, total);
    return removed;
}
