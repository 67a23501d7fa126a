#ifndef REFRESHAPP_H
#define REFRESHAPP_H

#include <QMetaType>
#include <QString>

// Order to re-enter the classroom (type 2) or restart the program (type 3),
// addressed to one participant.
struct RefreshApp
{
    QString classid;  // "classid"
    int type = 0;     // "type"
    QString uid;      // "uid"
    QString alertMsg; // "alertMsg"
};

Q_DECLARE_METATYPE(RefreshApp)

#endif // REFRESHAPP_H
