#ifndef CHATPICURLINFO_H
#define CHATPICURLINFO_H

#include <QJsonValue>
#include <QString>

// The answer data of a chat picture upload: the stored file's key and the
// address others download it from.
struct chatPicUrlInfo
{
    QString key;
    QString url;
};

void readJson(const QJsonValue &value, chatPicUrlInfo &out);

#endif // CHATPICURLINFO_H
