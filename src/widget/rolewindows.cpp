#include "rolewindows.h"

#include "widget/student/coursemainwidget.h"
#include "widget/student/studentloginwidget.h"
#include "widget/teacher/teachercoursemainwidget.h"
#include "widget/teacher/teacherloginwidget.h"

namespace {

template<typename Window, typename Base>
Base *create()
{
    return new Window(nullptr);
}

const RoleWindows kStudentWindows = {
    &create<studentloginwidget, baseloginwidget>,
    &create<CourseMainWidget, BaseCourseMainWidget>,
};

const RoleWindows kTeacherWindows = {
    &create<teacherloginwidget, baseloginwidget>,
    &create<TeacherCourseMainWidget, BaseCourseMainWidget>,
};

} // namespace

const RoleWindows &RoleWindows::of(ClientRole role)
{
    return role == ClientRoleStudent ? kStudentWindows : kTeacherWindows;
}

const RoleWindows &RoleWindows::current()
{
    return of(ClientRole(getClientRole()));
}

baseloginwidget *RoleWindows::newLoginWidget() const
{
    baseloginwidget *widget = createLoginWidget();
    widget->setAttribute(Qt::WA_DeleteOnClose);
    widget->initUi();
    return widget;
}

void RoleWindows::showCourseWidget() const
{
    BaseCourseMainWidget *widget = createCourseWidget();
    widget->setAttribute(Qt::WA_DeleteOnClose);
    widget->show();
}
