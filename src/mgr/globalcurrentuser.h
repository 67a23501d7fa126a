#ifndef GLOBALCURRENTUSER_H
#define GLOBALCURRENTUSER_H

#include "mgr/singletonmgrbase.h"

// The signed-in user's id whatever the build's role.
class GlobalCurrentUser : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit GlobalCurrentUser(QObject *parent = nullptr);

    // The student's id in the student build, the teacher's otherwise.
    QString getUid() const;
};

#endif // GLOBALCURRENTUSER_H
