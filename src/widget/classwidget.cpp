#include "classwidget.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/appcontext.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/globaldatamgr.h"
#include "mgr/http/httpmgr.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "utility/durations.h"

#include <QDebug>
#include <QKeyEvent>
#include <QTimer>

namespace {

// A failed or lost MQTT login is tried again after this pause.
const int kMqttReloginDelay = 2000;

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
    // The signalling service's login (AgoraLoginMgr::login with token)
    // comes in here with its manager.
    Q_UNUSED(token)

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

void ClassWidget::loginMqtt()
{
    MqttImSdk::instance()->login(Singleton<AppContext>::instance()->getClassId(),
                                 Singleton<GlobalCurrentUser>::instance()->getUid(),
                                 Singleton<HttpMgr>::instance()->getPhpSessionId());
}

void ClassWidget::reloginMqtt()
{
    qInfo("relogin %d milliseconds later", kMqttReloginDelay);
    QTimer::singleShot(Durations::ms(kMqttReloginDelay), this, &ClassWidget::slot_onMqttReLoginTimer);
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
