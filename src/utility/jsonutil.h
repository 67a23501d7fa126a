#ifndef JSONUTIL_H
#define JSONUTIL_H

#include "utility/stringutility.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>
#include <QVector>

#include <type_traits>

// Tolerant readers, one per field type, used by every JSON record parser.
// An absent key (an Undefined value, as QJsonObject::value() gives for a
// missing key) leaves the target as it was; any other value of an
// unexpected type gives the type's zero value. They never fail or log.
// Pass object.value(key), not a non-const object[key]: the latter inserts
// a null for a missing key, which would then clear the field.

// Integral numbers within the 32-bit range and base-10 texts; else 0.
void readJsonInt(const QJsonValue &value, int &target);
// Numbers only; else 0.0 (a numeric text is not converted).
void readJsonDouble(const QJsonValue &value, double &target);
// Texts, and numbers read as for readJsonInt written in decimal; else empty.
void readJsonString(const QJsonValue &value, QString &target);
// JSON booleans only; else false.
void readJsonBool(const QJsonValue &value, bool &target);

// The same readers under one name, so record readers and the vector reader
// below can treat plain fields and nested records alike.
inline void readJson(const QJsonValue &value, int &target) { readJsonInt(value, target); }
inline void readJson(const QJsonValue &value, double &target) { readJsonDouble(value, target); }
inline void readJson(const QJsonValue &value, QString &target) { readJsonString(value, target); }

// A list: an absent value leaves the list as it was; any other value
// empties it and appends one element per element of the array (a non-array
// gives an empty list), each read into a fresh element.
template<typename R>
void readJson(const QJsonValue &value, QVector<R> &out)
{
    if (value.isUndefined())
        return;
    out.clear();
    const QJsonArray array = value.toArray();
    out.reserve(array.size());
    for (const QJsonValue &element : array) {
        R record{};
        readJson(element, record);
        out.append(record);
    }
}

template<typename T>
struct IsQVector : std::false_type
{
};
template<typename T>
struct IsQVector<QVector<T>> : std::true_type
{
};

// A value as JSON: numbers and texts as they are, lists as arrays, records
// through their toJson().
template<typename T>
QJsonValue toJsonValue(const T &value)
{
    if constexpr (std::is_arithmetic_v<T> || std::is_same_v<T, QString>) {
        return QJsonValue(value);
    } else if constexpr (IsQVector<T>::value) {
        QJsonArray array;
        for (const auto &element : value)
            array.append(toJsonValue(element));
        return array;
    } else {
        return toJson(value);
    }
}

// A record that lists its fields once, as
//
//     template<typename R, typename F>
//     void recordFields(R &record, F &&field) { field("key", record.member); ... }
//
// is read and written with these two visitors, so reader and writer never
// disagree on a key.
class JsonFieldReader
{
public:
    explicit JsonFieldReader(const QJsonValue &value)
        : m_object(value.toObject())
    {
    }
    template<typename T>
    void operator()(const char *key, T &target) const
    {
        readJson(m_object.value(QLatin1String(key)), target);
    }

private:
    QJsonObject m_object;
};

class JsonFieldWriter
{
public:
    template<typename T>
    void operator()(const char *key, const T &value)
    {
        m_object.insert(QLatin1String(key), toJsonValue(value));
    }
    QJsonObject object() const { return m_object; }

private:
    QJsonObject m_object;
};

// Every record read from JSON has one reader, declared next to the record:
//
//     void readJson(const QJsonValue &value, Record &out);
//
// It takes each of its keys with value.toObject().value(key) and hands the
// value to a field reader above or to the readJson of a nested record, so
// an absent key leaves the field as the constructor set it. fromJson finds
// the reader by argument-dependent lookup.
//
// parseJsonObject parses json into its top-level object (a top-level array
// gives an empty object); false, with out untouched and the error logged,
// when json is not JSON. fromJson then reads that object into out.
inline bool parseJsonObject(const QString &json, QJsonObject &out)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError) {
        qCritical("parse json error:%d, json:%s", static_cast<int>(error.error),
                  qUtf8Printable(StringUtility::cutForLog(json)));
        return false;
    }
    out = document.object();
    return true;
}

template<typename T>
bool fromJson(const QString &json, T &out)
{
    QJsonObject object;
    if (!parseJsonObject(json, object))
        return false;
    readJson(QJsonValue(object), out);
    return true;
}

// Compact UTF-8 JSON text of one object.
inline QString toCompactJsonText(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

#endif // JSONUTIL_H
