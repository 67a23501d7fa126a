#ifndef JSONENTITY_H
#define JSONENTITY_H

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>
#include <QVector>

#include "utility/jsonutil.h"

// Every record read from JSON has one reader, declared next to the record:
//
//     void readJson(const QJsonValue &value, Record &out);
//
// It takes each of its keys with value.toObject().value(key) and hands the
// value to the field reader of jsonutil.h (readJsonInt, readJsonString...),
// or to the readJson of a nested record, so an absent key leaves the field
// as the constructor set it. fromJson finds the reader by argument-dependent
// lookup.

// A list of records: an absent value leaves the list as it was; any other
// value empties it and appends one record per element of the array (a
// non-array gives an empty list), each read into a default record.
template<typename R>
void readJson(const QJsonValue &value, QVector<R> &out)
{
    if (value.isUndefined())
        return;
    out.clear();
    const QJsonArray array = value.toArray();
    out.reserve(array.size());
    for (const QJsonValue &element : array) {
        R record;
        readJson(element, record);
        out.append(record);
    }
}

// Parses json into its top-level object (a top-level array gives an empty
// object). False, with out untouched and the error logged, when json is
// not JSON.
inline bool parseJsonObject(const QString &json, QJsonObject &out)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError) {
        qCritical("parse json error:%d, json:%s", static_cast<int>(error.error),
                  qUtf8Printable(json));
        return false;
    }
    out = document.object();
    return true;
}

// Parses json and reads its top-level object into out (a top-level array
// gives an empty object). False, with out untouched, when json is not JSON.
template<typename T>
bool fromJson(const QString &json, T &out)
{
    QJsonObject object;
    if (!parseJsonObject(json, object))
        return false;
    readJson(QJsonValue(object), out);
    return true;
}

#endif // JSONENTITY_H
