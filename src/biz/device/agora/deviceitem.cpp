#include "deviceitem.h"

#include "utility/jsonutil.h"

void readJson(const QJsonValue &value, DeviceItem &out)
{
    const QJsonObject object = value.toObject();
    readJsonString(object.value(QStringLiteral("deviceId")), out.id);
    readJsonString(object.value(QStringLiteral("deviceName")), out.name);
    readJsonInt(object.value(QStringLiteral("deviceType")), out.type);
}

QJsonObject toJson(const DeviceItem &item)
{
    QJsonObject object;
    object.insert(QStringLiteral("deviceId"), item.id);
    object.insert(QStringLiteral("deviceName"), item.name);
    object.insert(QStringLiteral("deviceType"), item.type);
    return object;
}
