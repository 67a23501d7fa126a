#include "studentloginwidget.h"

#include "biz/httpapi/studentapis.h"
#include "mgr/studentcurrentuser.h"
#include "utility/webpage.h"
#include "widget/loginactions.h"
#include "widget/logindatajson.h"

studentloginwidget::studentloginwidget(QWidget *parent)
    : baseloginwidget(parent)
{
}

void studentloginwidget::initUi()
{
    baseloginwidget::initUi();
    setLoadingText(QStringLiteral("拼命加载中"));
}

EntityNetworkReplyHolder *studentloginwidget::requestLogin(const QString &user, const QString &password)
{
    Singleton<StudentApis>::instance();
    return StudentApis::login(this, user, password);
}

bool studentloginwidget::parseLoginResult(const QString &response)
{
    return takeOverLoginAnswer<StudentLoginDataEntity, StudentCurrentUser>(response);
}

void studentloginwidget::forgotPassword()
{
    LoginActions::showNotice(this, QStringLiteral("Velmo"), QStringLiteral("跳转到官网修改密码"));
    WebPage::open(WebPage::url(QStringLiteral("/")));
}

void studentloginwidget::goToHelpCenter()
{
    WebPage::openHelpPage(WebPage::helpPageUrl());
}
