#ifndef LOGEVENTENTITY_H
#define LOGEVENTENTITY_H

#include <QString>

// One event reported to the server ("/QXV1/Public/kv").
struct LogEventEntity
{
    QString type;
    QString key;
    QString value;
};

#endif // LOGEVENTENTITY_H
