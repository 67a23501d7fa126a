#ifndef JSONENTITY_H
#define JSONENTITY_H

#include "utility/jsonutil.h"

// The record readers, the list reader and fromJson live in
// utility/jsonutil.h, shared with the classroom messages.

// The value of key in object, for the readers: absent keys give Undefined.
inline QJsonValue jsonField(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key));
}

#endif // JSONENTITY_H
