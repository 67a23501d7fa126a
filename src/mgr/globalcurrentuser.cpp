#include "globalcurrentuser.h"

#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teachercurrentuser.h"
#include "rolepolicy.h"

GlobalCurrentUser::GlobalCurrentUser(QObject *parent)
    : SingletonMgrBase(parent)
{
}

QString GlobalCurrentUser::getUid() const
{
    if (RolePolicy::current().isStudent())
        return Singleton<StudentCurrentUser>::instance()->getId();
    return Singleton<TeacherCurrentUser>::instance()->getId();
}
