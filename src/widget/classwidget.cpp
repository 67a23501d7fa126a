#include "classwidget.h"

#include "biz/im/agora/agoraimchannelmgr.h"
#include "biz/im/agora/agoraloginmgr.h"
#include "biz/im/agora/videosdk.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/appcontext.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/globaldatamgr.h"
#include "mgr/http/httpmgr.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"
#include "utility/durations.h"

#include <QDebug>
#include <QKeyEvent>
#include <QTimer>

namespace {

// A failed or lost login (signalling or MQTT) is tried again after this pause.
const int kReloginDelay = 2000;

} // namespace

ClassWidget::ClassWidget(QWidget *parent)
    : QWidget(parent)
{
    Singleton<GlobalDataMgr>::instance()->setCurrentClassWidget(this);
    SignalQueueMgr *bus = SignalQueueMgr::instance();
    connect(bus, &SignalQueueMgr::signal_playingVideo, this, &ClassWidget::slot_playingVideo);
    connect(bus, &SignalQueueMgr::signal_logoutMqttToReEnterClassroom, this,
            &ClassWidget::slot_logoutMqttToReEnterClassroom);
    bus->signalClassWidgetOpened();
}

ClassWidget::~ClassWidget()
{
    // Never leave a pointer to a destroyed page behind.
    GlobalDataMgr *data = Singleton<GlobalDataMgr>::instance();
    if (data->getCurrentClassWidget() == this)
        data->setCurrentClassWidget(nullptr);
}

void ClassWidget::exit()
{
    SignalQueueMgr::instance()->signalClassWidgetClosed();
}

void ClassWidget::destoryMode()
{
    VideoSDK::instance()->leaveChannel();
    AgoraIMChannelMgr::instance()->leaveChannel();
    AgoraLoginMgr::instance()->logout();
    MqttImSdk *mqtt = MqttImSdk::instance();
    if (mqtt->isInChannel())
        mqtt->leaveChannel();
    if (mqtt->isConnected())
        mqtt->logout();
    Singleton<GlobalDataMgr>::instance()->setCurrentClassWidget(nullptr);
}

void ClassWidget::loginIM(const QString &token)
{
    qInfo("im:loginIM");
    m_imToken = token;
    AgoraLoginMgr *im = AgoraLoginMgr::instance();
    connect(im, &AgoraLoginMgr::signal_onLoginSuccess, this, &ClassWidget::slot_onImLoginSuccess);
    connect(im, &AgoraLoginMgr::signal_onLoginFailed, this, &ClassWidget::slot_onImLoginFailed);
    connect(im, &AgoraLoginMgr::signal_onNormalLogut, this, &ClassWidget::slot_onNormalLogut);
    connect(im, &AgoraLoginMgr::signal_onDisconnected, this, &ClassWidget::slot_onDisconnected);
    im->login(Singleton<GlobalCurrentUser>::instance()->getUid(), m_imToken);

    qInfo("im:login MQTT IM");
    MqttImSdk *mqtt = MqttImSdk::instance();
    connect(mqtt, &MqttImSdk::signal_loginSuccess, this, [mqtt](QString uid) {
        mqtt->joinChannel(Singleton<AppContext>::instance()->getClassId(), uid);
    });
    connect(mqtt, &MqttImSdk::signal_loginFailure, this, &ClassWidget::reloginMqtt);
    connect(mqtt, &MqttImSdk::signal_logoutSuccess, this, &ClassWidget::slot_mqtt_logoutSuccess);
    connect(mqtt, &MqttImSdk::signal_logoutFailure, this, [] {});
    connect(mqtt, &MqttImSdk::signal_connectionLost, this, &ClassWidget::slot_mqtt_connectionLost);
    loginMqtt();
}

void ClassWidget::slot_onImLoginSuccess(unsigned int, int)
{
    qInfo("im:slot_onImLoginSuccess");
    AgoraIMChannelMgr::instance()->joinChannel(Singleton<AppContext>::instance()->getClassId());
}

void ClassWidget::slot_onImLoginFailed(int ecode)
{
    qCritical("im:slot_onImLoginFailed,ecode:%d", ecode);
    relogin();
}

void ClassWidget::slot_onDisconnected(int ecode)
{
    qCritical("slot_onDisconnected ecode:%d", ecode);
    relogin();
}

void ClassWidget::slot_onNormalLogut()
{
    qWarning("normal logout");
}

void ClassWidget::relogin()
{
    qWarning("relogin");
    ActionLog::instance()->NormalInfo(QStringLiteral("sig_relogin"),
                                      QStringLiteral("{uid:%1}").arg(Singleton<GlobalCurrentUser>::instance()->getUid()));
    qWarning("relogin %d milliseconds later", kReloginDelay);
    QTimer::singleShot(Durations::ms(kReloginDelay), this, &ClassWidget::slot_onImReLoginTimer);
}

void ClassWidget::slot_onImReLoginTimer()
{
    qInfo("start agora im relogin");
    AgoraLoginMgr::instance()->login(Singleton<GlobalCurrentUser>::instance()->getUid(), m_imToken);
    qInfo("end agora im relogin");
}

void ClassWidget::loginMqtt()
{
    MqttImSdk::instance()->login(Singleton<AppContext>::instance()->getClassId(),
                                 Singleton<GlobalCurrentUser>::instance()->getUid(),
                                 Singleton<HttpMgr>::instance()->getPhpSessionId());
}

void ClassWidget::reloginMqtt()
{
    qInfo("relogin %d milliseconds later", kReloginDelay);
    QTimer::singleShot(Durations::ms(kReloginDelay), this, &ClassWidget::slot_onMqttReLoginTimer);
}

void ClassWidget::slot_onMqttReLoginTimer()
{
    qInfo("start mqtt relogin");
    loginMqtt();
    qInfo("end mqtt relogin");
}

void ClassWidget::slot_mqtt_connectionLost(QString cause)
{
    qCritical().noquote() << QStringLiteral("connect lost, cause:%1").arg(cause);
    reloginMqtt();
}

void ClassWidget::slot_mqtt_logoutSuccess(QString)
{
    // Any other sign-out (leaving the class) ends here.
    if (!m_reEnterPending)
        return;
    m_reEnterPending = false;
    qInfo("<reEnterClassroom> logout mqtt success.");
    SignalQueueMgr::instance()->signalReEnterClassroom();
}

void ClassWidget::slot_playingVideo(bool bPlaying)
{
    qInfo("slot_playingVideo, bPlaying:%d", bPlaying ? 1 : 0);
}

void ClassWidget::slot_logoutMqttToReEnterClassroom()
{
    // The re-entry goes on once the MQTT session has ended; without one
    // there is nothing to wait for.
    m_reEnterPending = true;
    MqttImSdk *mqtt = MqttImSdk::instance();
    if (mqtt->isConnected())
        mqtt->logout();
    else
        slot_mqtt_logoutSuccess();
}

void ClassWidget::keyPressEvent(QKeyEvent *event)
{
    SignalQueueMgr::instance()->signalKeyEvent(event);
    QWidget::keyPressEvent(event);
}
