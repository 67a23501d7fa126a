#ifndef DOWNLOADRESOURCE_H
#define DOWNLOADRESOURCE_H

#include <QMetaType>
#include <QString>
#include <QVector>

// One file of a lesson resource to fetch, and the folder to store it in.
struct DownloadFileInfo
{
    QString url;
    QString dirPath;

    QString toString() const { return QStringLiteral("url:%1, dirPath:%2").arg(url, dirPath); }
};

Q_DECLARE_METATYPE(DownloadFileInfo)

#endif // DOWNLOADRESOURCE_H
