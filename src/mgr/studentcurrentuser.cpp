#include "studentcurrentuser.h"

StudentCurrentUser::StudentCurrentUser(QObject *parent)
    : SingletonMgrBase(parent)
{
}

StudentLoginDataEntity StudentCurrentUser::getUserInfo() const
{
    return m_userInfo;
}

void StudentCurrentUser::setUserInfo(const StudentLoginDataEntity &info)
{
    m_userInfo = info;
}

QString StudentCurrentUser::getAvatarUrl() const
{
    return m_userInfo.avatar;
}

QString StudentCurrentUser::getId() const
{
    return m_userInfo.id;
}
