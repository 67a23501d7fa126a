#include "studentlogindataentity.h"

#include "biz/login/logindatajson.h"

void readJson(const QJsonValue &value, StudentLoginDataEntity &out)
{
    const QJsonObject object = value.toObject();
    readSharedLoginData(object, out);
    readJsonString(object.value(QLatin1String("mobile")), out.mobile);
}
