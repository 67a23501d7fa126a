#ifndef STUDENTCURRENTUSER_H
#define STUDENTCURRENTUSER_H

#include "mgr/singletonmgrbase.h"
#include "biz/login/studentlogindataentity.h"

// The signed-in student's profile, copied whole from the login answer.
class StudentCurrentUser : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit StudentCurrentUser(QObject *parent = nullptr);

    StudentLoginDataEntity getUserInfo() const;
    void setUserInfo(const StudentLoginDataEntity &info);
    QString getAvatarUrl() const;
    QString getId() const;

private:
    StudentLoginDataEntity m_userInfo;
};

#endif // STUDENTCURRENTUSER_H
