#include "studentloginwidget.h"

#include "biz/httpapi/studentapis.h"
#include "mgr/studentcurrentuser.h"
#include "widget/loginactions.h"
#include "widget/logindatajson.h"

#include <QDesktopServices>
#include <QUrl>

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
    const QString startPage = LoginActions::webPageUrl(QStringLiteral("/"));
    if (!startPage.isEmpty())
        QDesktopServices::openUrl(QUrl(startPage));
}

void studentloginwidget::goToHelpCenter()
{
    LoginActions::openHelpPage(LoginActions::webPageUrl(QStringLiteral("/Web/Index/helph5")));
}
