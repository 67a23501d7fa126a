#ifndef IMMSGINFO_H
#define IMMSGINFO_H

#include <QMetaType>
#include <QString>

// Header handed to every receiver beside a classroom message's payload.
struct ImMsgInfo
{
    QString channel; // left empty by the message layer
    QString uid;     // the sender
};

Q_DECLARE_METATYPE(ImMsgInfo)

#endif // IMMSGINFO_H
