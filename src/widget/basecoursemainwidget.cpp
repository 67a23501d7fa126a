#include "basecoursemainwidget.h"

#include "widget/baseloginwidget.h"
#include "widget/rolewindows.h"

BaseCourseMainWidget::BaseCourseMainWidget(QWidget *parent)
    : BaseMainWidget(parent)
{
}

void BaseCourseMainWidget::applicationLogout()
{
    qInfo("application Logout...");
    baseloginwidget *loginWidget = RoleWindows::current().newLoginWidget();
    loginWidget->setShouldAutoLogin(false);
    loginWidget->readLoginInfo();
    loginWidget->show();

    close();
}
