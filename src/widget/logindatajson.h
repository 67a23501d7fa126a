#ifndef LOGINDATAJSON_H
#define LOGINDATAJSON_H

#include "mgr/http/httpentity.h"
#include "mgr/singleton.h"
#include "utility/jsonutil.h"
#include "utility/possibleidutil.h"

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

// Takes an accepted login answer over: dumps and logs are named after the
// user id from now on, and the record becomes the role's current user.
// False, with nothing changed, when the answer is not JSON.
template<typename LoginData, typename CurrentUser>
bool takeOverLoginAnswer(const QString &response)
{
    HttpEntity<LoginData> entity;
    if (!fromJson(response, entity))
        return false;
    PossibleIdUtil::setPossibleId(entity.data.id);
    Singleton<CurrentUser>::instance()->setUserInfo(entity.data);
    return true;
}

#endif // LOGINDATAJSON_H
