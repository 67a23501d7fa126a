#ifndef TEACHERCURRENTUSER_H
#define TEACHERCURRENTUSER_H

#include "mgr/singletonmgrbase.h"
#include "biz/login/teacherlogindataentity.h"

// The signed-in teacher's profile, copied whole from the login answer.
class TeacherCurrentUser : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit TeacherCurrentUser(QObject *parent = nullptr);

    TeacherLoginDataEntity getUserInfo() const;
    void setUserInfo(const TeacherLoginDataEntity &info);
    QString getId() const;

private:
    TeacherLoginDataEntity m_userInfo;
};

#endif // TEACHERCURRENTUSER_H
