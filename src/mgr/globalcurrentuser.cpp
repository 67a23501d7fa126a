#include "globalcurrentuser.h"

#include "buildconstants.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teachercurrentuser.h"

GlobalCurrentUser::GlobalCurrentUser(QObject *parent)
    : SingletonMgrBase(parent)
{
}

QString GlobalCurrentUser::getUid() const
{
    if (getClientRole() == 1)
        return Singleton<StudentCurrentUser>::instance()->getId();
    return Singleton<TeacherCurrentUser>::instance()->getId();
}
