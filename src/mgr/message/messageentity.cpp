#include "messageentity.h"

void readJson(const QJsonValue &value, BaseMessageEntity &out)
{
    const QJsonObject object = value.toObject();
    readJsonInt(object.value(QStringLiteral("version")), out.version);
    readJsonInt(object.value(QStringLiteral("sequence")), out.sequence);
    readJsonInt(object.value(QStringLiteral("type")), out.type);
    readJsonInt(object.value(QStringLiteral("src")), out.src);
    readJsonString(object.value(QStringLiteral("sender")), out.sender);
    readJsonString(object.value(QStringLiteral("uuid")), out.uuid);
    readJsonInt(object.value(QStringLiteral("video_local_play_capability")), out.video_local_play_capability);
}

QJsonObject toJson(const BaseMessageEntity &entity)
{
    QJsonObject object;
    object.insert(QStringLiteral("version"), entity.version);
    object.insert(QStringLiteral("sequence"), entity.sequence);
    object.insert(QStringLiteral("type"), entity.type);
    object.insert(QStringLiteral("src"), entity.src);
    object.insert(QStringLiteral("sender"), entity.sender);
    object.insert(QStringLiteral("uuid"), entity.uuid);
    object.insert(QStringLiteral("video_local_play_capability"), entity.video_local_play_capability);
    return object;
}
