#ifndef MESSAGEENTITY_H
#define MESSAGEENTITY_H

#include "utility/jsonutil.h"

#include <QJsonObject>
#include <QString>

// The envelope of a classroom message without its payload: what a receiver
// reads first to learn type, sender and uuid. Every number is preset, so a
// text lacking "type" names no message type and one lacking
// "video_local_play_capability" does not claim the capability.
struct BaseMessageEntity
{
    int version = 0;
    int sequence = 0;
    int type = 0;
    int src = 0;
    QString sender;
    QString uuid;
    int video_local_play_capability = 0;
};

// The whole envelope; "data" holds the payload record T.
template<typename T>
struct MessageEntity : BaseMessageEntity
{
    T data{};
};

void readJson(const QJsonValue &value, BaseMessageEntity &out);
// Every envelope key but "data".
QJsonObject toJson(const BaseMessageEntity &entity);

template<typename T>
void readJson(const QJsonValue &value, MessageEntity<T> &out)
{
    readJson(value, static_cast<BaseMessageEntity &>(out));
    const QJsonValue data = value.toObject().value(QStringLiteral("data"));
    if (!data.isUndefined())
        readJson(data, out.data);
}

template<typename T>
QJsonObject toJson(const MessageEntity<T> &entity)
{
    QJsonObject object = toJson(static_cast<const BaseMessageEntity &>(entity));
    object.insert(QStringLiteral("data"), toJson(entity.data));
    return object;
}

#endif // MESSAGEENTITY_H
