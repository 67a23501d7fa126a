#ifndef BASEENTITY_H
#define BASEENTITY_H

#include <QJsonValue>
#include <QMetaType>
#include <QString>

#include "mgr/http/jsonentity.h"

// The envelope of every server answer and the failure value of every
// server call: errorCode 200 is success, anything else a refusal or a
// failure ("failed" with the transport code).
class BaseEntity
{
public:
    // Code of an answer whose "errorCode" could not be read: never 200.
    static constexpr int UNREAD_ERROR_CODE = -333;

    BaseEntity() = default;
    BaseEntity(int errorCode, const QString &errorMsg);

    // "errorCode:%1, errorMsg:%2", for log lines.
    QString toString() const;

    int errorCode = UNREAD_ERROR_CODE;
    QString errorMsg;
};

Q_DECLARE_METATYPE(BaseEntity)

// "errorCode" and "errorMsg" of an answer object.
void readJson(const QJsonValue &value, BaseEntity &out);

#endif // BASEENTITY_H
