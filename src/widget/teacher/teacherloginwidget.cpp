#include "teacherloginwidget.h"
#include "widget/ui_studentloginwidget.h"

#include "biz/httpapi/teacherapis.h"
#include "mgr/teachercurrentuser.h"
#include "utility/webpage.h"
#include "widget/loginactions.h"
#include "widget/logindatajson.h"
#include "widget/teacher/teachercoursemainwidget.h"

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
    if (user.isEmpty())
        return QStringLiteral("empty email");
    if (password.isEmpty())
        return QStringLiteral("empty password");
    return QString();
}

EntityNetworkReplyHolder *teacherloginwidget::requestLogin(const QString &user, const QString &password)
{
    Singleton<TeacherApis>::instance();
    return TeacherApis::login(this, user, password);
}

bool teacherloginwidget::parseLoginResult(const QString &response)
{
    return takeOverLoginAnswer<TeacherLoginDataEntity, TeacherCurrentUser>(response);
}

void teacherloginwidget::jumpToMainWidget()
{
    qInfo("jumpToMainWidget");
    auto *mainWidget = new TeacherCourseMainWidget(nullptr);
    mainWidget->setAttribute(Qt::WA_DeleteOnClose);
    mainWidget->show();
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
    QString text;
    switch (code) {
    case 404:
        text = QStringLiteral("user not exist");
        break;
    case 410:
        text = QStringLiteral("wrong password");
        break;
    case 500:
        text = QStringLiteral(" Get Agora certification failure");
        break;
    case 501:
        text = QStringLiteral("Get Agora config failure");
        break;
    case BaseEntity::UNREAD_ERROR_CODE:
        text = QStringLiteral("wrong server response");
        break;
    default:
        text = QStringLiteral("login failed!please check your network!code[%1]").arg(code);
        break;
    }
    setErrorText(text);
    return text;
}
