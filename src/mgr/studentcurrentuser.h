#ifndef STUDENTCURRENTUSER_H
#define STUDENTCURRENTUSER_H

#include "biz/login/studentlogindataentity.h"
#include "mgr/currentuserrecord.h"
#include "mgr/singletonmgrbase.h"

// The signed-in student's profile, copied whole from the login answer.
class StudentCurrentUser : public SingletonMgrBase, public CurrentUserRecord<StudentLoginDataEntity>
{
    Q_OBJECT

public:
    explicit StudentCurrentUser(QObject *parent = nullptr);

    QString getAvatarUrl() const;
};

#endif // STUDENTCURRENTUSER_H
