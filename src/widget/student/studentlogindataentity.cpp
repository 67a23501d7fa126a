#include "studentlogindataentity.h"

#include "utility/jsonutil.h"

#include <QJsonObject>

void readJson(const QJsonValue &value, StudentLoginDataEntity &out)
{
    const QJsonObject object = value.toObject();
    readJsonString(object.value(QLatin1String("id")), out.id);
    readJsonString(object.value(QLatin1String("nickname")), out.nickname);
    readJsonString(object.value(QLatin1String("skype")), out.skype);
    readJsonString(object.value(QLatin1String("qq")), out.qq);
    readJsonString(object.value(QLatin1String("mobile")), out.mobile);
    readJsonString(object.value(QLatin1String("email")), out.email);
    readJsonString(object.value(QLatin1String("avatar")), out.avatar);
    readJsonString(object.value(QLatin1String("source")), out.source);
    readJsonInt(object.value(QLatin1String("sdk_type")), out.sdk_type);
}
