#include "baseloginwidget.h"
#include "widget/ui_studentloginwidget.h"

#include "biz/login/logininfo.h"
#include "biz/login/loginsession.h"
#include "mgr/apprestart.h"
#include "mgr/http/apireply.h"
#include "mgr/singleton.h"
#include "rolepolicy.h"
#include "utility/actionlog.h"
#include "utility/downloadutil.h"
#include "utility/durations.h"
#include "utility/possibleidutil.h"
#include "widget/netlinksetting.h"
#include "widget/rolewindows.h"

#include <QEventLoop>
#include <QTimer>

namespace {

const int kLoadingTimerInterval = 800;
const int kMaxDots = 3;
// The HTTP layer reports a request that ran out of time with this code.
const int kTimeoutCode = 4;
// Width of the window's frame line; the error line stays inside it.
const int kWindowBorder = 1;

} // namespace

baseloginwidget::baseloginwidget(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::studentloginwidget)
{
    ui->setupUi(this);
    m_errorLineGeometry = ui->labelErrorMsg->geometry();
}

baseloginwidget::~baseloginwidget()
{
    qInfo("network reply:baseloginwidget dies");
    delete ui;
}

void baseloginwidget::initUi()
{
    ui->labelErrorMsg->hide();
    ui->widgetLoading->hide();

    if (!m_loadingTimer) {
        m_loadingTimer = new QTimer(this);
        connect(m_loadingTimer, &QTimer::timeout, this, &baseloginwidget::onLoadingTimerTimeout);
        connect(ui->editMobile, &QLineEdit::textChanged, this, &baseloginwidget::slot_textChanged_editMobile);
        connect(ui->editPassword, &QLineEdit::textChanged, this, &baseloginwidget::slot_textChanged_editPassword);
        connect(ui->editMobile, &QLineEdit::returnPressed, this, &baseloginwidget::slot_edit_returnPressed);
        connect(ui->editPassword, &QLineEdit::returnPressed, this, &baseloginwidget::slot_edit_returnPressed);
    }
    updateLoginButton();
}

QString baseloginwidget::checkInput(const QString &user, const QString &password)
{
    return RolePolicy::student().loginErrors.inputError(user, password);
}

void baseloginwidget::jumpToMainWidget()
{
    qInfo("jumpToMainWidget");
    RoleWindows::of(ClientRoleStudent).showCourseWidget();
}

QString baseloginwidget::showLoginError(int code)
{
    const QString text = RolePolicy::student().loginErrors.failureText(code);
    setErrorText(text);
    return text;
}

void baseloginwidget::setShouldAutoLogin(bool value)
{
    qInfo("autologin：setShouldAutoLogin value:%d", value ? 1 : 0);
    m_shouldAutoLogin = value;
}

bool baseloginwidget::shouldAutoLogin() const
{
    return m_shouldAutoLogin;
}

void baseloginwidget::readLoginInfo()
{
    qInfo("readLoginInfo");
    LoginInfo info;
    if (!LoginSession::readSavedLogin(info))
        return;

    ui->editMobile->setText(info.username);
    if (info.shouldRememberPassword == 1)
        ui->chkRememberPassword->setChecked(true);
    if (info.shouldAutoLogin == 1)
        ui->chkAutoLogin->setChecked(true);
    if (info.shouldRememberPassword == 1)
        ui->editPassword->setText(info.password);

    // No saved picture (always so for a teacher): the default one stays.
    if (!info.avatarUrl.isEmpty()) {
        DownloadUtil::downloadImage(this, info.avatarUrl, ui->labelAvatar,
                                    QStringLiteral("QLabel#labelAvatar"), true, QString(), QString());
        DownloadUtil::downloadImage(this, info.avatarUrl, ui->labelAvatarLoading,
                                    QStringLiteral("QLabel"), true, QString(), QString());
    }

    if (m_shouldAutoLogin && info.shouldAutoLogin != 0) {
        qInfo("autologin:reason:really autologin");
        on_btnLogin_clicked();
    } else if (Singleton<AppRestart>::instance()->isAppRestart()) {
        qInfo("autologin:reason:restart into a class");
        on_btnLogin_clicked();
    }
}

void baseloginwidget::writeLoginInfo()
{
    qInfo("writeLoginInfo");
    LoginSession::saveLogin(ui->editMobile->text().trimmed(), ui->editPassword->text().trimmed(),
                            ui->chkAutoLogin->checkState() == Qt::Checked);
}

void baseloginwidget::setLoadingText(const QString &text)
{
    m_loadingText = text;
}

QString baseloginwidget::loadingText() const
{
    return m_loadingText;
}

void baseloginwidget::setErrorText(const QString &text)
{
    QLabel *label = ui->labelErrorMsg;
    label->setVisible(!text.isEmpty());
    label->setText(text);

    // Network error names make some texts longer than the line: it then
    // grows to the right up to the window's border, then to the left.
    label->ensurePolished();
    const int needed = label->sizeHint().width();
    QRect line = m_errorLineGeometry;
    if (needed > line.width()) {
        const int right = qMin(line.left() + needed, width() - kWindowBorder);
        line.setLeft(qMax(kWindowBorder, right - needed));
        line.setRight(right - 1);
    }
    label->setGeometry(line);
}

void baseloginwidget::updateLoginButton()
{
    if (!ui->editMobile->text().trimmed().isEmpty()) {
        m_styleSheetUtil.changeStyle(ui->btnLogin, QStringLiteral("QPushButton"),
                                     QStringLiteral("background-color:#f06450;"));
        ui->btnLogin->setEnabled(true);
    } else {
        m_styleSheetUtil.changeStyle(ui->btnLogin, QStringLiteral("QPushButton"),
                                     QStringLiteral("background-color:#DCD2D2;"));
        ui->btnLogin->setEnabled(false);
    }
}

void baseloginwidget::on_btnLogin_clicked()
{
    qInfo("autologin:on_btnLogin_clicked");
    if (!ui->btnLogin->isEnabled()) {
        qInfo("btnLogin is disabled");
        return;
    }

    const QString user = ui->editMobile->text().trimmed();
    const QString password = ui->editPassword->text().trimmed();
    const QString error = checkInput(user, password);
    if (!error.isEmpty()) {
        qCritical("checkInput failed.errorMsg:%s", qUtf8Printable(error));
        setErrorText(error);
        return;
    }

    PossibleIdUtil::setPossibleId(user);

    // A press before the previous request has shown the waiting page would
    // otherwise leave two requests answering into this window (two course
    // windows on success); the older one is dropped without a signal.
    if (m_reply) {
        m_reply->disconnect(this);
        delete m_reply;
        m_reply = nullptr;
    }
    m_reply = requestLogin(user, password);

    ActionLog::instance()->NormalInfo(QStringLiteral("user_login"), QStringLiteral("{username:%1}").arg(user));

    if (!m_reply) {
        qCritical("requestLogin returned no reply");
        return;
    }
    // The role parses the answer's text itself (parseLoginResult).
    bindApiReply<void>(m_reply, this)
        .onStart(&baseloginwidget::slot_onWebLoginStart)
        .onFinish(&baseloginwidget::slot_onWebLoginFinish)
        .onSuccess(&baseloginwidget::slot_onWebLoginSuccess)
        .onFailure(&baseloginwidget::slot_onWebLoginFailure)
        .onAbort(&baseloginwidget::slot_onWebLoginAbort);
}

void baseloginwidget::slot_edit_returnPressed()
{
    qInfo("autologin:reason：slot_edit_returnPressed");
    on_btnLogin_clicked();
}

void baseloginwidget::slot_onWebLoginStart()
{
    qDebug("slot_onWebLoginStart");
    ActionLog::instance()->NormalInfo(QStringLiteral("login_start"), QStringLiteral("{slot_onWebLoginStart}"));
    ui->widget->hide();
    ui->widgetLoading->show();
    m_loadingTimer->start(Durations::ms(kLoadingTimerInterval));
}

void baseloginwidget::onLoadingTimerTimeout()
{
    // Only the animation: a request that runs out of time is recorded once,
    // when the HTTP layer reports the time-out (slot_onWebLoginFailure).
    ++m_dotCount;
    ui->labelLoading->setText(m_loadingText + QString(m_dotCount, QLatin1Char('.')));
    if (m_dotCount >= kMaxDots)
        m_dotCount = 0;
}

void baseloginwidget::onLoginFinished()
{
    qInfo("onLoginFinished");
    ui->widget->show();
    ui->widgetLoading->hide();
    m_loadingTimer->stop();
}

void baseloginwidget::slot_onWebLoginSuccess(QString response)
{
    qDebug("slot_onWebLoginSuccess, response:%s", qUtf8Printable(response));
    if (!parseLoginResult(response)) {
        qCritical("onWebLoginSuccess failed");
        BaseEntity entity;
        entity.errorCode = BaseEntity::UNREAD_ERROR_CODE;
        entity.errorMsg = QString();
        slot_onWebLoginFailure(entity);
        return;
    }

    LoginSession::startSession();
    onLoginFinished();
    writeLoginInfo();
    LoginSession::announceLogin();
    jumpToMainWidget();
    close();
}

void baseloginwidget::slot_onWebLoginFailure(BaseEntity baseEntity)
{
    qDebug("slot_onWebLoginFailure, error:%s", qUtf8Printable(baseEntity.toString()));
    if (baseEntity.errorCode == kTimeoutCode && baseEntity.errorMsg == QLatin1String("failed")) {
        ActionLog::instance()->ErrorInfo(QStringLiteral("user_login_failure"),
                                         QStringLiteral("type:2, code:-999, errMsg:login timeout"));
    }
    const QString text = showLoginError(baseEntity.errorCode);
    ActionLog::instance()->ErrorInfo(QStringLiteral("user_login_failure"),
                                     QStringLiteral("type:2, code:%1, errMsg:%2").arg(baseEntity.errorCode).arg(text));
    onLoginFinished();
}

void baseloginwidget::slot_onWebLoginFinish()
{
    qDebug("slot_onWebLoginFinish");
}

void baseloginwidget::slot_onWebLoginAbort()
{
    qInfo("slot_onWebLoginAbort");
    onLoginFinished();
}

void baseloginwidget::slot_textChanged_editMobile(QString text)
{
    m_styleSheetUtil.changeStyle(ui->editMobile, QStringLiteral("QLineEdit#editMobile"),
                                 text.isEmpty() ? QStringLiteral("color:#000000;") : QStringLiteral("color:#2f3244;"));
    updateLoginButton();
}

void baseloginwidget::slot_textChanged_editPassword(QString text)
{
    m_styleSheetUtil.changeStyle(ui->editPassword, QStringLiteral("QLineEdit#editPassword"),
                                 text.isEmpty() ? QStringLiteral("color:#000000;font-size:12px;")
                                                : QStringLiteral("color:#2f3244;font-size:8px;"));
}

void baseloginwidget::on_closePushButton_clicked()
{
    qInfo("login window close btn clicked");
    close();
}

void baseloginwidget::on_closePushButtonLoading_clicked()
{
    qInfo("login window close btn clicked");
    close();
}

void baseloginwidget::on_chkAutoLogin_stateChanged(int state)
{
    if (state == Qt::Checked)
        ui->chkRememberPassword->setChecked(true);
}

void baseloginwidget::on_chkRememberPassword_stateChanged(int state)
{
    if (state == Qt::Unchecked)
        ui->chkAutoLogin->setChecked(false);
}

void baseloginwidget::on_btnCancelLogin_clicked()
{
    ActionLog::instance()->ClickInfo(QStringLiteral("login_cancel"), QStringLiteral("{on_btnCancelLogin_clicked}"));
    qInfo("on_btnCancelLogin_clicked");
    ActionLog::instance()->ErrorInfo(QStringLiteral("user_login_failure"),
                                     QStringLiteral("type:1, code:-999, errMsg:%1").arg(QStringLiteral("user cancel login.")));
    if (m_reply)
        m_reply->abort();
}

void baseloginwidget::on_btnForgot_clicked()
{
    forgotPassword();
}

void baseloginwidget::on_settingNetLink_clicked()
{
    NetLinkSetting dialog(nullptr);
    dialog.setAttribute(Qt::WA_ShowModal);
    dialog.show();
    QTimer::singleShot(2, &dialog, &NetLinkSetting::slot_updateNetSignalStrength);
    QEventLoop loop;
    connect(&dialog, &BaseMainWidget::signal_close, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::DialogExec);
}

void baseloginwidget::on_pushButtonHelp_clicked()
{
    goToHelpCenter();
}
