#include "basecoursemainwidget.h"

#include "buildconstants.h"
#include "widget/student/studentloginwidget.h"
#include "widget/teacher/teacherloginwidget.h"

BaseCourseMainWidget::BaseCourseMainWidget(QWidget *parent)
    : BaseMainWidget(parent)
{
}

void BaseCourseMainWidget::applicationLogout()
{
    qInfo("application Logout...");
    baseloginwidget *loginWidget = nullptr;
    if (getClientRole() == 1)
        loginWidget = new studentloginwidget(nullptr);
    else
        loginWidget = new teacherloginwidget(nullptr);

    loginWidget->setAttribute(Qt::WA_DeleteOnClose);
    loginWidget->initUi();
    loginWidget->setShouldAutoLogin(false);
    loginWidget->readLoginInfo();
    loginWidget->show();

    close();
}
