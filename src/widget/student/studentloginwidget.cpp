#include "studentloginwidget.h"

#include "biz/httpapi/studentapis.h"
#include "biz/login/loginsession.h"
#include "mgr/singleton.h"
#include "utility/webpage.h"
#include "widget/loginactions.h"

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
    return LoginSession::takeOverLoginAnswer(ClientRoleStudent, response);
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
