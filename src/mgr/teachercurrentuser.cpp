#include "teachercurrentuser.h"

TeacherCurrentUser::TeacherCurrentUser(QObject *parent)
    : SingletonMgrBase(parent)
{
}
