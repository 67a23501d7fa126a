#include "teacherapplication.h"

#include "biz/httpapi/teacherapis.h"
#include "mgr/singleton.h"
#include "mgr/teachercurrentuser.h"
#include "mgr/teacherdownloadresourcemgr.h"
#include "widget/rolewindows.h"

void TeacherApplication::initManagers()
{
    BaseApplication::initManagers();
    Singleton<TeacherApis>::instance()->init();
    Singleton<TeacherCurrentUser>::instance()->init();
    Singleton<DownloadResourceMgr>::instance()->init();
}

baseloginwidget *TeacherApplication::createLoginWidget()
{
    return RoleWindows::of(ClientRoleTeacher).createLoginWidget();
}
