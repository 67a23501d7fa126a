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
#include "biz/httpapi/studentapis.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/message/sendandreceivemsg.h"
#include "utility/translatelanguage.h"
#include "widget/praiseeffectswidget.h"
#include "widget/videoviewbinder.h"
#include "widget/widgetbigvideo.h"
#include "widget/widgetvideoitemlist.h"
#include "widget/widgetvideoitems.h"
#include "widget/widgetwhiteboard.h"

#include <QDebug>
#include <QBoxLayout>
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
    connectClassControl();
    createBigVideo();
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

void ClassWidget::connectClassControl()
{
    // Once only, whoever connects it first.
    connect(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_receiveEncourageMsg, this,
            &ClassWidget::slot_receiveEncourageMsg, Qt::UniqueConnection);
}

void ClassWidget::createBigVideo()
{
    if (bigVideo)
        return;
    bigVideo = new WidgetBigVideo(this);
    bigVideo->setMoveBounds(width(), height(), 50);
    bigVideo->setShowType(0);
}

bool ClassWidget::setVideoItemAttached(const QString &uid, bool attach)
{
    WidgetVideoItem *tile = videoItemList->getWidgetByUid(uid);
    if (!tile)
        return false;
    return attach ? tile->restoreVideoView() : tile->clearVideoView();
}

void ClassWidget::CreateVideo(const UserList &list)
{
    qInfo("CreateVideo()  this:%p", static_cast<void *>(this));
    videoItemList->createItems(&list, this);
    auto *column = findChild<QBoxLayout *>(QStringLiteral("verticalLayoutVideo"));
    for (int i = 0; i < videoItemList->count(); ++i) {
        WidgetVideoItem *tile = videoItemList->getWidgetByIdx(i);
        if (column)
            column->addWidget(tile);
        auto *student = qobject_cast<WidgetVideoItemS *>(tile);
        if (!student)
            continue;
        connect(student, &WidgetVideoItemS::signal_switchBigVideo, this, &ClassWidget::slot_switchBigVideo);
        connect(student, &WidgetVideoItemS::signal_switchSmallVideo, this, &ClassWidget::slot_switchSmallVideo);
        connect(student, &WidgetVideoItemS::signal_setEnableAudio, this, &ClassWidget::slot_setEnableAudio);
        connect(student, &WidgetVideoItemS::signal_setEnableDraw, this, &ClassWidget::slot_setEnableDraw);
        connect(student, &WidgetVideoItemS::signal_clickePraise, this, &ClassWidget::slot_clickePraise);
    }
}

void ClassWidget::slot_onChannelUserJoined(const QString &uid)
{
    qInfo("videoTxt start slot_onChannelUserJoined, uid:%s", qUtf8Printable(uid.left(64)));
    WidgetVideoItem *tile = videoItemList->findWidgetByUid(uid);
    uint engineUid = 0;
    if (tile && VideoViewBinder::toEngineUid(uid, &engineUid)) {
        qInfo("videoTxt pItem not NULL");
        tile->muteVideo(false);
        VideoSDK::instance()->someoneJoinChannel(tile->getVideoWidget(), engineUid);
        tile->setStateFlag(true);
        tile->setAlertText(QString());
        tile->resetToolState(false);
    }
    qInfo("videoTxt end slot_onChannelUserJoined, uid:%s", qUtf8Printable(uid.left(64)));
}

void ClassWidget::slot_onChannelUserLeaved(const QString &uid)
{
    WidgetVideoItem *tile = videoItemList->findWidgetByUid(uid);
    if (tile) {
        tile->setStateFlag(false);
        tile->setAlertText(tile->getUserInfo().userName + Translatelanguage::instance()->getText(QStringLiteral("alreadyleftclassroom")));
        uint engineUid = 0;
        if (VideoViewBinder::toEngineUid(uid, &engineUid))
            VideoSDK::instance()->someoneLeaveChannel(engineUid);
        cancelSelectVideo();
        tile->resetToolState(false);
        tile->muteVideo(true);
        unMuteAllAudioFlag(false);
    }
    qDebug().noquote() << QStringLiteral("slot_onChannelUserLeaved, uid:%1").arg(uid.left(64));
}

void ClassWidget::slot_UserMuteVideo(QString uid, bool mute)
{
    WidgetVideoItem *tile = videoItemList->findWidgetByUid(uid);
    if (!tile)
        return;
    tile->muteVideo(mute);
    tile->setAlertText(mute ? Translatelanguage::instance()->getText(QStringLiteral("cameraNotOpen")) : QString());
}

void ClassWidget::slot_currentAudioVolume(QString uid, int totalVolume)
{
    // Reports come several times a second, also for uids without a tile.
    if (WidgetVideoItem *tile = videoItemList->findWidgetByUid(uid))
        tile->setVolume(totalVolume);
}

void ClassWidget::slot_switchBigVideo(WidgetVideoItem *tile)
{
    if (!tile || !tile->stateFlag()) {
        qCritical("widget is NULL, or is not joined channel.");
        return;
    }
    const UserInfo user = tile->getUserInfo();
    if (user.userType == 2) {
        qWarning().noquote() << QStringLiteral("cannot select teacher, only can select student. teacherId:%1").arg(user.uid);
        return;
    }
    qInfo() << "inSharingDesktop:" << inSharingDesktop;
    if (lastClickedVideoItem)
        lastClickedVideoItem->switchSmallVideo();
    inSelecteSomeOne = true;
    createBigVideo();
    bigVideo->setUserInfo(user);
    if (bigVideo->setThisVideoView()) {
        tile->setAlertText(user.userName + QLatin1Char(' ') + Translatelanguage::instance()->getText(QStringLiteral("selecteSomeOne")));
        tile->muteVideo(true);
        bigVideo->setShowType(1);
        setSelectedVideoPosition();
        bigVideo->raise();
        muteOthersAudioFlag(user.uid, true);
    } else {
        qCritical("switch video widget failured.");
    }
    lastClickedVideoItem = tile;
}

void ClassWidget::slot_switchSmallVideo(WidgetVideoItem *tile)
{
    hideSelectVideo(tile);
}

void ClassWidget::hideSelectVideo(WidgetVideoItem *tile)
{
    qInfo("<selectSomeOne> start hideSelectVideo, lastClickedVideoItem:%p, inSelecteSomeOne:%d",
          static_cast<void *>(lastClickedVideoItem), inSelecteSomeOne ? 1 : 0);
    if (inSelecteSomeOne && lastClickedVideoItem && tile
        && lastClickedVideoItem->getUserInfo().uid == tile->getUserInfo().uid) {
        const QString uid = lastClickedVideoItem->getUserInfo().uid;
        ActionLog::instance()->ClickInfo(QStringLiteral("click_cancel_select_person"), QStringLiteral("{uid:%1}").arg(uid));
        if (bigVideo)
            bigVideo->setShowType(0);
        muteOthersAudioFlag(uid, false);
        lastClickedVideoItem = nullptr;
        inSelecteSomeOne = false;
    }
    qInfo("<selectSomeOne> end hideSelectVideo, lastClickedVideoItem:%p, inSelecteSomeOne:%d",
          static_cast<void *>(lastClickedVideoItem), inSelecteSomeOne ? 1 : 0);
}

void ClassWidget::cancelSelectVideo()
{
    qInfo("<selectSomeOne> start cancelSelectVideo, lastClickedVideoItem:%p", static_cast<void *>(lastClickedVideoItem));
    if (!lastClickedVideoItem)
        return;
    qInfo("<selectSomeOne> end cancelSelectVideo, lastClickedVideoItem:%p", static_cast<void *>(lastClickedVideoItem));
    WidgetVideoItem *tile = lastClickedVideoItem;
    tile->switchSmallVideo();
    hideSelectVideo(tile);
}

void ClassWidget::enableAllSelectBtn(bool enable)
{
    qInfo("<selectSomeOne> start enableAllSelectBtn, videoWidgets:%p, count:%d, enable:%d",
          static_cast<void *>(videoItemList), videoItemList->count(), enable ? 1 : 0);
    for (int i = 0; i < videoItemList->count(); ++i) {
        WidgetVideoItem *tile = videoItemList->getWidgetByIdx(i);
        auto *student = qobject_cast<WidgetVideoItemS *>(tile);
        qInfo("<selectSomeOne> enableSelectBtn index:%d, pItem:%p, pStudentItem:%p", i, static_cast<void *>(tile),
              static_cast<void *>(student));
        if (student)
            student->setEnableSelectBtn(enable);
    }
    qInfo("<selectSomeOne> end enableAllSelectBtn, enable:%d", enable ? 1 : 0);
}

void ClassWidget::muteOthersAudioFlag(const QString &uid, bool bMute)
{
    qInfo("videoWidgets:%p, uid:%s, bMute:%d", static_cast<void *>(videoItemList), qUtf8Printable(uid), bMute ? 1 : 0);
    for (int i = 0; i < videoItemList->count(); ++i) {
        auto *student = qobject_cast<WidgetVideoItemS *>(videoItemList->getWidgetByIdx(i));
        if (!student)
            continue;
        student->setAudioEnabled(!bMute);
        student->setAudioChecked(student->getUserInfo().uid == uid ? false : bMute);
    }
}

void ClassWidget::unMuteAllAudioFlag(bool includeTeacher)
{
    qInfo("unMuteAllAudioFlag");
    for (int i = 0; i < videoItemList->count(); ++i) {
        WidgetVideoItem *tile = videoItemList->getWidgetByIdx(i);
        const QString uid = tile->getUserInfo().uid;
        if (!includeTeacher && tile->getUserInfo().userType == 2)
            continue;
        tile->setAudioChecked(false);
        UserInfo user;
        if (userList && userList->getUserInfoByUid(uid, user) && (user.controlFlags & ControlTypAudio)) {
            user.controlFlags &= ~ControlTypAudio;
            userList->setUserInfoByUid(user);
        }
    }
}

void ClassWidget::setSelectedVideoPosition()
{
    if (!bigVideo)
        return;
    QWidget *tool = findChild<QWidget *>(QStringLiteral("widget_tool"));
    const int toolHeight = tool ? tool->height() : 0;
    qInfo().noquote() << QStringLiteral("thisH:%1, selectedVideoH:%2").arg(height()).arg(bigVideo->height());
    const int x = 10;
    const int y = whiteBoard ? height() - bigVideo->height() - toolHeight - 10 : 0;
    bigVideo->move(x, y);
    qInfo().noquote() << QStringLiteral("selectedvideoPos:(%1, %2)").arg(x).arg(y);
}

void ClassWidget::slot_playingVideo(bool bPlaying)
{
    qInfo("<selectSomeOne> start slot_playingVideo, bPlaying:%d", bPlaying ? 1 : 0);
    isPlayingVideo = bPlaying;
    enableAllSelectBtn(!bPlaying);
    qInfo("after enableAllSelectBtn, this:%p", static_cast<void *>(this));
    unMuteAllAudioFlag(true);
    // Cancelled first: ending a selection enables the audio buttons again.
    if (bPlaying)
        cancelSelectVideo();
    for (int i = 0; i < videoItemList->count(); ++i)
        videoItemList->getWidgetByIdx(i)->setAudioEnabled(!bPlaying);
    qInfo("<selectSomeOne> end slot_playingVideo");
}

void ClassWidget::setFunctionOff(const QString &uid, ControlTyp type, bool off)
{
    UserInfo user;
    if (!userList || !userList->getUserInfoByUid(uid, user))
        return;
    if (off)
        user.controlFlags |= type;
    else
        user.controlFlags &= ~type;
    userList->setUserInfoByUid(user);
}

void ClassWidget::slot_setEnableAudio(QString uid, bool enable)
{
    sendFunctionalControl(uid, enable, ControlTypAudio);
    setFunctionOff(uid, ControlTypAudio, !enable);
}

void ClassWidget::slot_setEnableDraw(QString uid, bool enable)
{
    sendFunctionalControl(uid, enable, ControlTypDraw);
    setFunctionOff(uid, ControlTypDraw, !enable);
}

void ClassWidget::sendFunctionalControl(QString uid, bool enable, ControlTyp type)
{
    FunctionControl control;
    control.classid = classId;
    control.type = type;
    control.uid = uid;
    control.enabled = enable ? 1 : 0;
    const QString sender = userList ? userList->getCurUser().uid : QString();
    SendAndReceiveMsg::instance()->sendMsg<FunctionControl>(control, IM_FunctionControl, sender, uid);
}

bool ClassWidget::isTeacherOrder(const ImMsgInfo &info, const QString &classid) const
{
    // Only the teacher of this class commands it; anything else is a
    // participant speaking out of turn or a message of another class.
    if (!userList || info.uid.isEmpty() || info.uid != userList->getTeacher().uid) {
        qWarning("class order not from the teacher, sender:%s", qUtf8Printable(info.uid.left(64)));
        return false;
    }
    if (classid != classId) {
        qWarning("class order of another class:%s", qUtf8Printable(classid.left(64)));
        return false;
    }
    return true;
}

void ClassWidget::addPraise(const QString &uid)
{
    UserInfo user;
    if (!userList || !userList->getUserInfoByUid(uid, user))
        return;
    ++user.likeNum;
    userList->setUserInfoByUid(user);
    if (WidgetVideoItem *tile = videoItemList->findWidgetByUid(uid))
        tile->setPraiseCount(user.likeNum);
    // A praise during the effect counts without a second effect.
    if (!isShowingPraise)
        showTrophyCartoon(uid);
}

void ClassWidget::slot_receiveEncourageMsg(ImMsgInfo info, EncourageMessage data)
{
    qInfo() << "slot_receiveEncourageMsg classId:" << data.classid.left(64);
    if (!isTeacherOrder(info, data.classid))
        return;
    const QString teacherUid = userList->getTeacher().uid;
    if (data.uid == userList->getCurUser().uid) {
        // The own count waits for the server to take the praise.
        postEncourage(classId, teacherUid);
        qInfo() << "slot_receiveEncourageMsg uid:" << teacherUid.toUInt();
        return;
    }
    addPraise(data.uid);
}

void ClassWidget::slot_clickePraise(UserInfo user)
{
    EncourageMessage praise;
    praise.classid = classId;
    praise.type = 1;
    praise.uid = user.uid;
    praise.name = user.userName;
    const QString sender = userList ? userList->getTeacher().uid : QString();
    SendAndReceiveMsg::instance()->sendMsg<EncourageMessage>(praise, IM_Encourage, sender);
    addPraise(user.uid);
}

void ClassWidget::postEncourage(const QString &classId, const QString &teacherUid)
{
    qInfo() << "postEncourage uid:" << teacherUid;
    // A flood of praises never becomes a flood of posts.
    if (pendingEncouragePosts >= kMaxPendingEncouragePosts) {
        qWarning("too many praise posts pending (%d), this one is dropped", pendingEncouragePosts);
        return;
    }
    ++pendingEncouragePosts;
    postEncourageReply = StudentApis::postEncourage(this, classId, teacherUid);
    connect(postEncourageReply, &EntityNetworkReplyHolder::signal_onStart, this, &ClassWidget::slot_onStart_getPostEncourage);
    connect(postEncourageReply, &EntityNetworkReplyHolder::signal_onFinish, this, &ClassWidget::slot_onFinish_getPostEncourage);
    connect(postEncourageReply, &EntityNetworkReplyHolder::signal_onFailure, this, &ClassWidget::slot_onFailure_getPostEncourage);
    connect(postEncourageReply, &EntityNetworkReplyHolder::signal_onSuccess, this, &ClassWidget::slot_onSuccess_getPostEncourage);
}

void ClassWidget::slot_onStart_getPostEncourage()
{
}

void ClassWidget::slot_onFinish_getPostEncourage()
{
    if (pendingEncouragePosts > 0)
        --pendingEncouragePosts;
}

void ClassWidget::slot_onFailure_getPostEncourage(BaseEntity entity)
{
    Q_UNUSED(entity)
}

void ClassWidget::slot_onSuccess_getPostEncourage(QString response)
{
    Q_UNUSED(response)
    if (!userList)
        return;
    const QString uid = userList->getCurUser().uid;
    addPraise(uid);
    UserInfo user;
    userList->getUserInfoByUid(uid, user);
    qInfo() << "slot_onSuccess_getPostEncourage likeNum:" << user.likeNum;
}

void ClassWidget::showTrophyCartoon(QString uid)
{
    isShowingPraise = true;
    // Over the whole classroom window, aimed at the praised tile.
    auto *effect = new PraiseEffectsWidget(classRoom ? classRoom : parentWidget());
    effect->setAttribute(Qt::WA_DeleteOnClose);
    effect->setAttribute(Qt::WA_ShowModal);
    effect->setTargetWidget(videoItemList->findWidgetByUid(uid));
    connect(effect, &PraiseEffectsWidget::signal_close, this, &ClassWidget::slot_praiseEffectClosed);
    connect(effect, &QObject::destroyed, this, &ClassWidget::slot_praiseEffectClosed);
    effect->show();
}

void ClassWidget::slot_praiseEffectClosed()
{
    if (!isShowingPraise)
        return;
    isShowingPraise = false;
    qInfo("showTrophyCartoon end");
}
