#include "mgr/http/baseentity.h"

#include <QJsonObject>

BaseEntity::BaseEntity(int errorCode, const QString &errorMsg)
    : errorCode(errorCode)
    , errorMsg(errorMsg)
{
}

QString BaseEntity::toString() const
{
    return QStringLiteral("errorCode:%1, errorMsg:%2").arg(errorCode).arg(errorMsg);
}

void readJson(const QJsonValue &value, BaseEntity &out)
{
    const QJsonObject object = value.toObject();
    readJsonInt(object.value(QLatin1String("errorCode")), out.errorCode);
    readJsonString(object.value(QLatin1String("errorMsg")), out.errorMsg);
}
