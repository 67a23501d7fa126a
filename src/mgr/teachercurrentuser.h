#ifndef TEACHERCURRENTUSER_H
#define TEACHERCURRENTUSER_H

#include "biz/login/teacherlogindataentity.h"
#include "mgr/currentuserrecord.h"
#include "mgr/singletonmgrbase.h"

// The signed-in teacher's profile, copied whole from the login answer.
class TeacherCurrentUser : public SingletonMgrBase, public CurrentUserRecord<TeacherLoginDataEntity>
{
    Q_OBJECT

public:
    explicit TeacherCurrentUser(QObject *parent = nullptr);
};

#endif // TEACHERCURRENTUSER_H
