#include "teacherloginwidget.h"
#include "widget/ui_studentloginwidget.h"

#include "biz/httpapi/teacherapis.h"
#include "biz/login/loginsession.h"
#include "mgr/singleton.h"
#include "rolepolicy.h"
#include "utility/webpage.h"
#include "widget/loginactions.h"
#include "widget/rolewindows.h"

teacherloginwidget::teacherloginwidget(QWidget *parent)
    : baseloginwidget(parent)
{
}

void teacherloginwidget::initUi()
{
    baseloginwidget::initUi();
    ui->editMobile->setPlaceholderText(QStringLiteral("Email"));
    ui->editPassword->setPlaceholderText(QStringLiteral("Password"));
    ui->labelLogo->setText(QStringLiteral("LEARN & DISCOVER"));
    ui->chkRememberPassword->setText(QStringLiteral("Remember me"));
    ui->chkAutoLogin->setText(QStringLiteral("Auto login"));
    ui->btnLogin->setText(QStringLiteral("Login"));
    ui->btnCancelLogin->setText(QStringLiteral("Cancel"));
    ui->btnForgot->setText(QStringLiteral("Forgot?"));
    setLoadingText(QStringLiteral("loading"));
    ui->labelLoading->setText(loadingText() + QStringLiteral("..."));
}

QString teacherloginwidget::checkInput(const QString &user, const QString &password)
{
    return RolePolicy::teacher().loginErrors.inputError(user, password);
}

EntityNetworkReplyHolder *teacherloginwidget::requestLogin(const QString &user, const QString &password)
{
    Singleton<TeacherApis>::instance();
    return TeacherApis::login(this, user, password);
}

bool teacherloginwidget::parseLoginResult(const QString &response)
{
    return LoginSession::takeOverLoginAnswer(ClientRoleTeacher, response);
}

void teacherloginwidget::jumpToMainWidget()
{
    qInfo("jumpToMainWidget");
    RoleWindows::of(ClientRoleTeacher).showCourseWidget();
}

void teacherloginwidget::forgotPassword()
{
    LoginActions::showNotice(this, QStringLiteral("velmo"),
                             QStringLiteral("Please contact your Group leader(FM/TC) to reset your password."));
}

void teacherloginwidget::goToHelpCenter()
{
    WebPage::openHelpPage(WebPage::helpPageUrl());
}

QString teacherloginwidget::showLoginError(int code)
{
    const QString text = RolePolicy::teacher().loginErrors.failureText(code);
    setErrorText(text);
    return text;
}
