#ifndef LOGINDATAJSON_H
#define LOGINDATAJSON_H

#include "utility/jsonutil.h"

#include <QJsonObject>
#include <QString>

// Reads the fields the login records of both roles share; the JSON keys
// are the field names, and an absent key keeps the field.
template<typename LoginData>
void readSharedLoginData(const QJsonObject &object, LoginData &out)
{
    readJsonString(object.value(QLatin1String("id")), out.id);
    readJsonString(object.value(QLatin1String("nickname")), out.nickname);
    readJsonString(object.value(QLatin1String("skype")), out.skype);
    readJsonString(object.value(QLatin1String("qq")), out.qq);
    readJsonString(object.value(QLatin1String("email")), out.email);
    readJsonString(object.value(QLatin1String("avatar")), out.avatar);
    readJsonString(object.value(QLatin1String("source")), out.source);
    readJsonInt(object.value(QLatin1String("sdk_type")), out.sdk_type);
}

#endif // LOGINDATAJSON_H
