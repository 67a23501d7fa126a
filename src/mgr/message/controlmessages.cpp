#include "controlmessages.h"

#include "utility/jsonutil.h"

void readJson(const QJsonValue &value, SendSysMsg &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("uid")), out.uid);
    readJson(object.value(QStringLiteral("level")), out.level);
    readJson(object.value(QStringLiteral("content")), out.content);
}

void readJson(const QJsonValue &value, RefreshApp &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("type")), out.type);
    readJson(object.value(QStringLiteral("uid")), out.uid);
    readJson(object.value(QStringLiteral("alertMsg")), out.alertMsg);
}

void readJson(const QJsonValue &value, RequestDeivceInfo &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("uid")), out.uid);
}

void readJson(const QJsonValue &value, SwitchDevice &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("uid")), out.uid);
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("deviceType")), out.deviceType);
    readJson(object.value(QStringLiteral("deviceId")), out.deviceId);
    readJson(object.value(QStringLiteral("deviceName")), out.deviceName);
    readJson(object.value(QStringLiteral("alertMsg")), out.alertMsg);
}

void readJson(const QJsonValue &value, SetVideoProfileMsg &out)
{
    const QJsonObject object = value.toObject();
    readJson(object.value(QStringLiteral("classid")), out.classid);
    readJson(object.value(QStringLiteral("uid")), out.uid);
    readJson(object.value(QStringLiteral("video_profile")), out.video_profile);
}
