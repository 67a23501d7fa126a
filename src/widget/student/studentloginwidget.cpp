#include "studentloginwidget.h"

#include "biz/httpapi/studentapis.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "utility/possibleidutil.h"
#include "widget/loginactions.h"
#include "mgr/http/httpentity.h"
#include "widget/student/studentlogindataentity.h"

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
    HttpEntity<StudentLoginDataEntity> entity;
    if (!fromJson(response, entity))
        return false;
    PossibleIdUtil::setPossibleId(entity.data.id);
    Singleton<StudentCurrentUser>::instance()->setUserInfo(entity.data);
    return true;
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
