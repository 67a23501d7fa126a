#include "studentcurrentuser.h"

StudentCurrentUser::StudentCurrentUser(QObject *parent)
    : SingletonMgrBase(parent)
{
}

QString StudentCurrentUser::getAvatarUrl() const
{
    return m_userInfo.avatar;
}
