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
#include "widget/widgetvideoitemlist.h"
#include "widget/widgetwhiteboard.h"

#include <QDebug>
#include <QKeyEvent>
#include <QTimer>

namespace {

// A failed or lost login (signalling or MQTT) is tried again after this pause.
const int kReloginDelay = 2000;

} // namespace

ClassWidget::ClassWidget(QWidget *parent)
    : WidgetClassMode(parent)
    , videoItemList(new WidgetVideoItemList)
    , classRoom(parent)
{
    setClassMode(ClassMode);
    SignalQueueMgr *bus = SignalQueueMgr::instance();
    connect(bus, &SignalQueueMgr::signal_playingVideo, this, &ClassWidget::slot_playingVideo);
    connect(bus, &SignalQueueMgr::signal_logoutMqttToReEnterClassroom, this, &ClassWidget::slot_reEnterClass);
    bus->signalClassWidgetOpened();
    Singleton<GlobalDataMgr>::instance()->setCurrentClassWidget(this);
}

ClassWidget::~ClassWidget()
{
    // Never leave a pointer to a destroyed page behind.
    GlobalDataMgr *data = Singleton<GlobalDataMgr>::instance();
    if (data->getCurrentClassWidget() == this)
        data->setCurrentClassWidget(nullptr);
    delete videoItemList;
}

// ---- Page set-up, modes and lesson start -------------------------------

void ClassWidget::init()
{
}

void ClassWidget::startClass(WidgetClassRoom *room, const ClassInfoEntity &info)
{
    Q_UNUSED(room)
    classId = info.class_id;
    classInfo = info;
}

void ClassWidget::enterMode(WidgetClassRoom *room, WidgetVideoItemList *tiles)
{
    Q_UNUSED(room)
    Q_UNUSED(tiles)
}

void ClassWidget::exitMode()
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

WidgetVideoItemList *ClassWidget::getVideoItemList()
{
    return videoItemList;
}

WidgetWhiteBoard *ClassWidget::createWhiteBoard()
{
    return new WidgetWhiteBoard(this);
}

QWidget *ClassWidget::createInteractionWidget()
{
    return nullptr;
}

void ClassWidget::onStartClass()
{
}

void ClassWidget::goToHelpCenter()
{
}

QString ClassWidget::getClassId() const
{
    return classId;
}

void ClassWidget::setSwitchModeVisible(bool visible)
{
    Q_UNUSED(visible)
}

void ClassWidget::on_btnColor_clicked()
{
}

void ClassWidget::on_btnChat_clicked()
{
}

void ClassWidget::slot_hideMessageWidget()
{
}

void ClassWidget::slot_clickCutImage()
{
}

void ClassWidget::slot_clickCutImageFinish()
{
}

void ClassWidget::slot_receiveMessageWarn()
{
}

int ClassWidget::deviceChangeMessageBox(QString msg)
{
    Q_UNUSED(msg)
    return 0;
}

void ClassWidget::slot_deviceStateChanged()
{
}

void ClassWidget::slot_VideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState)
{
    Q_UNUSED(deviceId)
    Q_UNUSED(deviceType)
    Q_UNUSED(deviceState)
}

void ClassWidget::slot_onMessageSendError(QString msgId, int ecode)
{
    Q_UNUSED(msgId)
    Q_UNUSED(ecode)
}

void ClassWidget::on_pushButtonHelp_clicked()
{
    goToHelpCenter();
}

void ClassWidget::keyPressEvent(QKeyEvent *event)
{
    SignalQueueMgr::instance()->signalKeyEvent(event);
    QWidget::keyPressEvent(event);
}

void ClassWidget::keyReleaseEvent(QKeyEvent *event)
{
    QWidget::keyReleaseEvent(event);
}

void ClassWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
}

// ---- Service logins, re-login and channel joins ------------------------

void ClassWidget::loginIM(const QString &token)
{
    qInfo("im:loginIM");
    classInfo.agorainfo.sig_key = token;
    AgoraLoginMgr *im = AgoraLoginMgr::instance();
    connect(im, &AgoraLoginMgr::signal_onLoginSuccess, this, &ClassWidget::slot_onImLoginSuccess);
    connect(im, &AgoraLoginMgr::signal_onLoginFailed, this, &ClassWidget::slot_onImLoginFailed);
    connect(im, &AgoraLoginMgr::signal_onNormalLogut, this, &ClassWidget::slot_onNormalLogut);
    connect(im, &AgoraLoginMgr::signal_onDisconnected, this, &ClassWidget::slot_onDisconnected);
    im->login(Singleton<GlobalCurrentUser>::instance()->getUid(), token);

    qInfo("im:login MQTT IM");
    MqttImSdk *mqtt = MqttImSdk::instance();
    mqtt->login(Singleton<AppContext>::instance()->getClassId(), Singleton<GlobalCurrentUser>::instance()->getUid(),
                Singleton<HttpMgr>::instance()->getPhpSessionId());
    connect(mqtt, &MqttImSdk::signal_loginSuccess, this, &ClassWidget::slot_mqtt_loginSuccess);
    connect(mqtt, &MqttImSdk::signal_loginFailure, this, &ClassWidget::slot_mqtt_loginFailure);
    connect(mqtt, &MqttImSdk::signal_logoutSuccess, this, &ClassWidget::slot_mqtt_logoutSuccess);
    connect(mqtt, &MqttImSdk::signal_logoutFailure, this, &ClassWidget::slot_mqtt_logoutFailure);
    connect(mqtt, &MqttImSdk::signal_connectionLost, this, &ClassWidget::slot_mqtt_connectionLost);
}

void ClassWidget::slot_onImLoginSuccess(uint32_t, int)
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
    qWarning("start agora im relogin");
    AgoraLoginMgr::instance()->login(Singleton<GlobalCurrentUser>::instance()->getUid(), classInfo.agorainfo.sig_key);
    qWarning("end agora im relogin");
}

void ClassWidget::reloginMqtt()
{
    qWarning("reloginMqtt");
    qWarning("relogin %d milliseconds later", kReloginDelay);
    QTimer::singleShot(Durations::ms(kReloginDelay), this, &ClassWidget::slot_onMqttReLoginTimer);
}

void ClassWidget::slot_onMqttReLoginTimer()
{
    qWarning("start mqtt relogin");
    MqttImSdk::instance()->login(Singleton<AppContext>::instance()->getClassId(),
                                 Singleton<GlobalCurrentUser>::instance()->getUid(),
                                 Singleton<HttpMgr>::instance()->getPhpSessionId());
    qWarning("end mqtt relogin");
}

void ClassWidget::slot_mqtt_loginSuccess(QString uid)
{
    MqttImSdk::instance()->joinChannel(Singleton<AppContext>::instance()->getClassId(), uid);
}

void ClassWidget::slot_mqtt_loginFailure(int, QString)
{
    reloginMqtt();
}

void ClassWidget::slot_mqtt_connectionLost(QString lostCause)
{
    qCritical().noquote() << QStringLiteral("connect lost, cause:%1").arg(lostCause);
    reloginMqtt();
}

void ClassWidget::slot_mqtt_logoutSuccess(QString)
{
    // Any other sign-out (leaving the class) ends here.
    if (!isReEnteringClassroom)
        return;
    isReEnteringClassroom = false;
    qInfo("<reEnterClassroom> logout mqtt success.");
    SignalQueueMgr::instance()->signalReEnterClassroom();
}

void ClassWidget::slot_mqtt_logoutFailure(int, QString)
{
}

void ClassWidget::slot_mqtt_simulateConnectLost()
{
}

void ClassWidget::slot_reEnterClass()
{
    // The re-entry goes on once the MQTT session has ended; without one
    // there is nothing to wait for.
    isReEnteringClassroom = true;
    qInfo("<reEnterClassroom> start logout mqtt");
    MqttImSdk *mqtt = MqttImSdk::instance();
    if (mqtt->isInChannel())
        mqtt->leaveChannel();
    if (mqtt->isConnected())
        mqtt->logout();
    else
        slot_mqtt_logoutSuccess();
}

void ClassWidget::joinVideoChannel(QString channel, QString uid, const QString &key)
{
    Q_UNUSED(channel)
    Q_UNUSED(uid)
    Q_UNUSED(key)
}

void ClassWidget::slot_videoChannelJoinedSuccess(QString channelId, QString uid)
{
    Q_UNUSED(channelId)
    Q_UNUSED(uid)
}

void ClassWidget::requestChannelKey(const QString &classId)
{
    Q_UNUSED(classId)
}

void ClassWidget::slot_onReuqestChannelKey()
{
}

void ClassWidget::slot_onStart_updateSdkSig()
{
}

void ClassWidget::slot_onFinish_updateSdkSig()
{
}

void ClassWidget::slot_onSuccess_updateSdkSig(QString response)
{
    Q_UNUSED(response)
}

void ClassWidget::slot_onFailure_updateSdkSig(BaseEntity baseEntity)
{
    Q_UNUSED(baseEntity)
}

void ClassWidget::slot_onError(QString errId, QString errMsg)
{
    Q_UNUSED(errId)
    Q_UNUSED(errMsg)
}

void ClassWidget::slot_onChannelJoinFailed(QString channelId, int ecode)
{
    Q_UNUSED(channelId)
    Q_UNUSED(ecode)
}

void ClassWidget::slot_onChannelLeaved(QString channelId, int ecode)
{
    Q_UNUSED(channelId)
    Q_UNUSED(ecode)
}

// ---- Tiles, big video, praise and class control ------------------------

bool ClassWidget::setVideoItemAttached(const QString &uid, bool attach)
{
    Q_UNUSED(uid)
    Q_UNUSED(attach)
    return false;
}

void ClassWidget::CreateVideo(const UserList &list)
{
    Q_UNUSED(list)
}

void ClassWidget::slot_onChannelUserJoined(const QString &uid)
{
    Q_UNUSED(uid)
}

void ClassWidget::slot_onChannelUserLeaved(const QString &uid)
{
    Q_UNUSED(uid)
}

void ClassWidget::slot_UserMuteVideo(QString uid, bool mute)
{
    Q_UNUSED(uid)
    Q_UNUSED(mute)
}

void ClassWidget::slot_currentAudioVolume(QString uid, int totalVolume)
{
    Q_UNUSED(uid)
    Q_UNUSED(totalVolume)
}

void ClassWidget::slot_switchBigVideo(WidgetVideoItem *tile)
{
    Q_UNUSED(tile)
}

void ClassWidget::slot_switchSmallVideo(WidgetVideoItem *tile)
{
    hideSelectVideo(tile);
}

void ClassWidget::hideSelectVideo(WidgetVideoItem *tile)
{
    Q_UNUSED(tile)
}

void ClassWidget::cancelSelectVideo()
{
}

void ClassWidget::enableAllSelectBtn(bool enable)
{
    Q_UNUSED(enable)
}

void ClassWidget::muteOthersAudioFlag(const QString &uid, bool bMute)
{
    Q_UNUSED(uid)
    Q_UNUSED(bMute)
}

void ClassWidget::unMuteAllAudioFlag(bool includeTeacher)
{
    Q_UNUSED(includeTeacher)
}

void ClassWidget::setSelectedVideoPosition()
{
}

void ClassWidget::slot_playingVideo(bool bPlaying)
{
    qInfo("<selectSomeOne> start slot_playingVideo, bPlaying:%d", bPlaying ? 1 : 0);
    isPlayingVideo = bPlaying;
}

void ClassWidget::slot_setEnableAudio(QString uid, bool enable)
{
    sendFunctionalControl(uid, enable, ControlTypAudio);
}

void ClassWidget::slot_setEnableDraw(QString uid, bool enable)
{
    sendFunctionalControl(uid, enable, ControlTypDraw);
}

void ClassWidget::sendFunctionalControl(QString uid, bool enable, ControlTyp type)
{
    Q_UNUSED(uid)
    Q_UNUSED(enable)
    Q_UNUSED(type)
}

void ClassWidget::slot_receiveEncourageMsg(ImMsgInfo info, EncourageMessage data)
{
    Q_UNUSED(info)
    Q_UNUSED(data)
}

void ClassWidget::slot_clickePraise(UserInfo user)
{
    Q_UNUSED(user)
}

void ClassWidget::postEncourage(const QString &classId, const QString &teacherUid)
{
    Q_UNUSED(classId)
    Q_UNUSED(teacherUid)
}

void ClassWidget::slot_onStart_getPostEncourage()
{
}

void ClassWidget::slot_onFinish_getPostEncourage()
{
}

void ClassWidget::slot_onFailure_getPostEncourage(BaseEntity entity)
{
    Q_UNUSED(entity)
}

void ClassWidget::slot_onSuccess_getPostEncourage(QString response)
{
    Q_UNUSED(response)
}

void ClassWidget::showTrophyCartoon(QString uid)
{
    Q_UNUSED(uid)
}
