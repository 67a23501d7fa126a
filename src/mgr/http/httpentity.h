#ifndef HTTPENTITY_H
#define HTTPENTITY_H

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include "mgr/http/baseentity.h"
#include "mgr/http/jsonentity.h"

// A server answer {"errorCode", "errorMsg", "data"} whose "data" is the
// payload T of the call: a record, or QVector<R> for list answers. Parse it
// with fromJson<HttpEntity<T>> once signal_onSuccess has said errorCode 200.
template<typename T>
class HttpEntity
{
public:
    int errorCode = BaseEntity::UNREAD_ERROR_CODE;
    QString errorMsg;
    T data;
};

template<typename T>
void readJson(const QJsonValue &value, HttpEntity<T> &out)
{
    const QJsonObject object = value.toObject();
    readJsonInt(object.value(QLatin1String("errorCode")), out.errorCode);
    readJsonString(object.value(QLatin1String("errorMsg")), out.errorMsg);
    readJson(object.value(QLatin1String("data")), out.data);
}

#endif // HTTPENTITY_H
