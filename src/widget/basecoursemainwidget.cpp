#include "basecoursemainwidget.h"

#include "mgr/baseapplication.h"
#include "widget/baseloginwidget.h"

BaseCourseMainWidget::BaseCourseMainWidget(QWidget *parent)
    : BaseMainWidget(parent)
{
}

void BaseCourseMainWidget::applicationLogout()
{
    qInfo("application Logout...");
    const std::unique_ptr<BaseApplication> application = BaseApplication::createForRole();
    baseloginwidget *loginWidget = application->newLoginWidget();
    loginWidget->setShouldAutoLogin(false);
    loginWidget->readLoginInfo();
    loginWidget->show();

    close();
}
