#ifndef TEACHERAPIS_H
#define TEACHERAPIS_H

#include "mgr/singletonmgrbase.h"

#include <QString>

class EntityNetworkReplyHolder;
class QObject;

// The teacher's own server call: the login. Every other call of the teacher
// client is in StudentApis.
class TeacherApis : public SingletonMgrBase
{
    Q_OBJECT

public:
    static EntityNetworkReplyHolder *login(QObject *parent, const QString &username, const QString &password);
};

#endif // TEACHERAPIS_H
