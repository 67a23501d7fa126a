#include "studentapplication.h"

#include "biz/httpapi/studentapis.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "widget/rolewindows.h"

void StudentApplication::initManagers()
{
    BaseApplication::initManagers();
    Singleton<StudentApis>::instance()->init();
    Singleton<StudentCurrentUser>::instance()->init();
}

baseloginwidget *StudentApplication::createLoginWidget()
{
    return RoleWindows::of(ClientRoleStudent).createLoginWidget();
}
