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
};

Q_DECLARE_METATYPE(DownloadFileInfo)

#endif // DOWNLOADRESOURCE_H
