#ifndef JSONUTIL_H
#define JSONUTIL_H

#include <QJsonValue>
#include <QString>

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

#endif // JSONUTIL_H
