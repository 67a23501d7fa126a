#include "teachercurrentuser.h"

TeacherCurrentUser::TeacherCurrentUser(QObject *parent)
    : SingletonMgrBase(parent)
{
}

TeacherLoginDataEntity TeacherCurrentUser::getUserInfo() const
{
    return m_userInfo;
}

void TeacherCurrentUser::setUserInfo(const TeacherLoginDataEntity &info)
{
    m_userInfo = info;
}

QString TeacherCurrentUser::getId() const
{
    return m_userInfo.id;
}
