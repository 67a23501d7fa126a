#ifndef EVENTREPORTS_H
#define EVENTREPORTS_H

#include "lessonservice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

// The event records the stand-in service received, in order: the parsed
// "json_str" field of every "/QXV1/Public/kv" request.
inline QJsonArray receivedEvents(LessonService &service)
{
    QJsonArray events;
    for (const QJsonValue &request : service.requests()) {
        const QJsonObject entry = request.toObject();
        if (entry.value(QStringLiteral("path")).toString() != QLatin1String("/QXV1/Public/kv"))
            continue;
        const QString json = entry.value(QStringLiteral("form")).toObject().value(QStringLiteral("json_str")).toString();
        for (const QJsonValue &event : QJsonDocument::fromJson(json.toUtf8()).array())
            events.append(event);
    }
    return events;
}

inline QJsonObject eventRecord(const QString &type, const QString &key, const QString &value)
{
    return QJsonObject{ { QStringLiteral("type"), type }, { QStringLiteral("key"), key },
                        { QStringLiteral("value"), value } };
}

#endif // EVENTREPORTS_H
