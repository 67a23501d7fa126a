#include "basecoursemainwidget.h"

#include "biz/httpapi/logevententity.h"
#include "biz/httpapi/studentapis.h"
#include "biz/im/agora/agoraloginmgr.h"
#include "mgr/logeventmgr.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "mgr/upgrademgr.h"
#include "utility/translatelanguage.h"
#include "widget/baseloginwidget.h"
#include "widget/loginactions.h"
#include "widget/rolewindows.h"

BaseCourseMainWidget::BaseCourseMainWidget(QWidget *parent)
    : BaseMainWidget(parent)
{
    connect(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onKicked, this, &BaseCourseMainWidget::slot_onKicked);

    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    upgrade->setPromptWidget(this);
    upgrade->goCheck();
    logLoginOkEvent();

    SignalQueueMgr *bus = SignalQueueMgr::instance();
    connect(bus, &SignalQueueMgr::signal_classroom_open, this, &BaseCourseMainWidget::slot_classroom_open);
    connect(bus, &SignalQueueMgr::signal_classroom_close, this, &BaseCourseMainWidget::slot_classroom_closed);
}

BaseCourseMainWidget::~BaseCourseMainWidget()
{
    Singleton<UpgradeMgr>::instance()->clearPromptWidget(this);
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

QString BaseCourseMainWidget::currentClassId() const
{
    return m_currentClassId;
}

void BaseCourseMainWidget::setCurrentClassId(const QString &classId)
{
    m_currentClassId = classId;
}

void BaseCourseMainWidget::logLoginOkEvent()
{
    qInfo("logLoginOkEvent");
    sendEvent(QStringLiteral("user/login"), QStringLiteral("1"));
}

void BaseCourseMainWidget::slot_classroom_open()
{
    sendEvent(QStringLiteral("class/join"), m_currentClassId);
}

void BaseCourseMainWidget::slot_classroom_closed()
{
    sendEvent(QStringLiteral("class/exit"), m_currentClassId);
}

void BaseCourseMainWidget::sendEvent(const QString &key, const QString &value)
{
    // Fire and forget: the reply releases itself, nobody waits for it.
    const QVector<LogEventEntity> events{ { Singleton<LogEventMgr>::instance()->eventPath(), key, value } };
    StudentApis::logEvent(this, events);
}

void BaseCourseMainWidget::slot_onKicked()
{
    Translatelanguage *language = Translatelanguage::instance();
    LoginActions::showNotice(this, language->getText(QStringLiteral("velmo")),
                             language->getText(QStringLiteral("loginedonanotherdevice")));
    qInfo("slot_onKicked");
}
