#include "classwidget.h"
#include "ui_classwidget.h"

#include "biz/device/agora/agoradevicedetecting.h"
#include "biz/httpapi/studentapis.h"
#include "biz/im/agora/agoraimchannelmgr.h"
#include "biz/im/agora/agoraloginmgr.h"
#include "biz/im/agora/videosdk.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/appcontext.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/globaldatamgr.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpentity.h"
#include "mgr/http/httpmgr.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"
#include "utility/durations.h"
#include "utility/jsonutil.h"
#include "utility/translatelanguage.h"
#include "widget/classwidgetsetting.h"
#include "widget/coursedialogs.h"
#include "widget/networkdisconnect.h"
#include "widget/widgetbigvideo.h"
#include "widget/widgetclassroom.h"
#include "widget/widgetcolorpallet.h"
#include "widget/widgetinteraction.h"
#include "widget/widgetmessage.h"
#include "widget/widgetvideoitem.h"
#include "widget/widgetvideoitemlist.h"
#include "widget/widgetvideoitems.h"
#include "widget/widgetwhiteboard.h"

#include <QDebug>
#include <QKeyEvent>
#include <QTimer>

namespace {

// A failed or lost login (signalling or MQTT) is tried again after this pause.
const int kReloginDelay = 2000;
// The big video keeps this much of itself inside the page while dragged.
const int kBigVideoMoveMargin = 50;

QString text(const char *key)
{
    return Translatelanguage::instance()->getText(QString::fromLatin1(key));
}

QString signedInUid()
{
    return Singleton<GlobalCurrentUser>::instance()->getUid();
}

QString loginCookieId()
{
    return Singleton<HttpMgr>::instance()->getPhpSessionId();
}

} // namespace

ClassWidget::ClassWidget(QWidget *parent)
    : WidgetClassMode(parent)
    , ui(new Ui::ClassWidget)
    , videoItemList(new WidgetVideoItemList)
{
    networkDisconnect = new NetworkDisconnect(this);
    ui->setupUi(this);
    classRoom = parent;
    setClassMode(ClassMode);
    // Heard from the start, before init() builds the rest (init connects
    // them again only once).
    SignalQueueMgr *bus = SignalQueueMgr::instance();
    connect(bus, &SignalQueueMgr::signal_playingVideo, this, &ClassWidget::slot_playingVideo, Qt::UniqueConnection);
    connect(bus, &SignalQueueMgr::signal_logoutMqttToReEnterClassroom, this, &ClassWidget::slot_reEnterClass,
            Qt::UniqueConnection);
    bus->signalClassWidgetOpened();
    Singleton<GlobalDataMgr>::instance()->setCurrentClassWidget(this);
}

ClassWidget::~ClassWidget()
{
    // A page destroyed without destoryMode never leaves a pointer to itself
    // behind.
    GlobalDataMgr *data = Singleton<GlobalDataMgr>::instance();
    if (data->getCurrentClassWidget() == this)
        data->setCurrentClassWidget(nullptr);
    delete whiteBoard;
    delete bigVideo;
    delete networkDisconnect;
    delete videoItemList;
    delete ui;
}

// ---- Page set-up, modes and lesson start -------------------------------

void ClassWidget::init()
{
    qInfo("init()  this:%p", static_cast<void *>(this));
    imChannelMgr = AgoraIMChannelMgr::instance();
    connect(AgoraDeviceDetecting::instance(), &AgoraDeviceDetecting::signal_audioRecordCollection, this,
            &ClassWidget::slot_deviceStateChanged);
    connect(SignalQueueMgr::instance(), &SignalQueueMgr::signal_playingVideo, this, &ClassWidget::slot_playingVideo,
            Qt::UniqueConnection);

    SendAndReceiveMsg *messages = SendAndReceiveMsg::instance();
    connect(messages, &SendAndReceiveMsg::signal_onMessageSendError, this, &ClassWidget::slot_onMessageSendError);
    connect(messages, &SendAndReceiveMsg::signal_receiveMessageWarn, this, &ClassWidget::slot_receiveMessageWarn);
    connect(messages, &SendAndReceiveMsg::signal_receiveEncourageMsg, this, &ClassWidget::slot_receiveEncourageMsg);

    videoSdk = VideoSDK::instance();
    connect(videoSdk, &VideoSDK::signal_joinVideoChannelSuccess, this, &ClassWidget::slot_videoChannelJoinedSuccess);
    connect(videoSdk, &VideoSDK::signal_Error, this, &ClassWidget::slot_onError);
    connect(videoSdk, &VideoSDK::signal_UserMuteVideo, this, &ClassWidget::slot_UserMuteVideo);
    connect(videoSdk, &VideoSDK::signal_onReuqestChannelKey, this, &ClassWidget::slot_onReuqestChannelKey);

    messageWidget = new WidgetMessage(this);
    ui->verticalLayoutVideoMsg->insertWidget(2, messageWidget, 1);
    messageWidget->hide();
    connect(messageWidget, &WidgetMessage::signal_hideMessageWidget, this, &ClassWidget::slot_hideMessageWidget);
    connect(messageWidget, &WidgetMessage::signal_clickCutImage, this, &ClassWidget::slot_clickCutImage);
    connect(messageWidget, &WidgetMessage::signal_clickCutImageFinish, this, &ClassWidget::slot_clickCutImageFinish);
    connect(this, &ClassWidget::signal_startCutImage, messageWidget, &WidgetMessage::slot_cutImage);

    placeBanner();
    networkDisconnect->hide();

    whiteBoard = createWhiteBoard();
    ui->Layout_wd->addWidget(whiteBoard);
    connect(whiteBoard, &WidgetWhiteBoard::signal_reEnterClass, this, &ClassWidget::slot_reEnterClass);
    connect(SignalQueueMgr::instance(), &SignalQueueMgr::signal_logoutMqttToReEnterClassroom, this,
            &ClassWidget::slot_reEnterClass, Qt::UniqueConnection);

    colorPallet = new WidgetColorPallet(this);
    placePallet();
    colorPallet->hide();
    connect(colorPallet, &WidgetColorPallet::getColor, whiteBoard, &WidgetWhiteBoard::setColor);
    connect(colorPallet, &IWidget::signal_mouseOut, whiteBoard, &WidgetWhiteBoard::mouseIn);

    interactionWidget = createInteractionWidget();
    if (interactionWidget) {
        ui->layout_interaction->addWidget(interactionWidget);
        if (auto *tools = qobject_cast<WidgetInteraction *>(interactionWidget)) {
            connect(whiteBoard, &WidgetWhiteBoard::signal_setClickedTextBtn, tools,
                    &WidgetInteraction::slot_setClickedTextBtn);
            connect(whiteBoard, &WidgetWhiteBoard::signal_setClickedPenBtn, tools,
                    &WidgetInteraction::slot_setClickedPenBtn);
            connect(whiteBoard, &WidgetWhiteBoard::signal_setEnablePenBtn, tools,
                    &WidgetInteraction::slot_setEnablePenBtn);
            connect(colorPallet, &WidgetColorPallet::signal_getColorIndex, tools,
                    &WidgetInteraction::slot_setColorBtnImg);
        }
    }
    settingWidget = new ClassWidgetSetting(this);
    ui->layout_setting->addWidget(settingWidget);

    bigVideo = new WidgetBigVideo(this);
    bigVideo->setMoveBounds(width(), height(), kBigVideoMoveMargin);
    bigVideo->setShowType(0);
}

WidgetInteraction *ClassWidget::interactionTools() const
{
    return qobject_cast<WidgetInteraction *>(interactionWidget);
}

void ClassWidget::startClass(WidgetClassRoom *room, const ClassInfoEntity &info)
{
    classId = info.class_id;
    classInfo = info;
    userList = room ? room->getUserList() : nullptr;
    if (userList)
        CreateVideo(*userList);
    if (whiteBoard) {
        whiteBoard->setClassInfo(userList, classId);
        whiteBoard->setMaterialInfo(info.material.mid, info.material.pdf, info.material.md5);
        whiteBoard->downloadPdf();
    }
    AgoraDeviceDetecting::instance()->initDevice();
    loginIM(classInfo.agorainfo.sig_key);
    joinVideoChannel(classId, signedInUid(), classInfo.agorainfo.media_key);
    onStartClass();
}

void ClassWidget::enterMode(WidgetClassRoom *room, WidgetVideoItemList *tiles)
{
    Q_UNUSED(room)
    Q_UNUSED(tiles)
    setFocus();
    ui->widget_switchmode->setCurrentIndex(getClassMode());
    const QString me = signedInUid();
    for (int i = 0; i < videoItemList->count(); ++i) {
        WidgetVideoItem *tile = videoItemList->getWidgetByIdx(i);
        if (!tile)
            break;
        if (!tile->restoreVideoView())
            continue;
        const QString uid = tile->getUserInfo().uid;
        const bool present = (userList && userList->getIsInChannel(uid)) || uid == me;
        // The award page may have seen people come and go meanwhile.
        tile->setStateFlag(present);
        tile->muteVideo(!present);
        tile->setAlertText(present ? QString() : text("notcomingyet"));
        if (auto *student = qobject_cast<WidgetVideoItemS *>(tile))
            student->setZoomChecked(false);
    }
}

void ClassWidget::exitMode()
{
    if (inSelecteSomeOne)
        hideSelectVideo(lastClickedVideoItem);
    for (int i = videoItemList->count() - 1; i >= 0; --i) {
        if (WidgetVideoItem *tile = videoItemList->getWidgetByIdx(i))
            tile->clearVideoView();
    }
    SignalQueueMgr::instance()->signalClassWidgetClosed();
}

void ClassWidget::destoryMode()
{
    qInfo("destoryMode");
    ActionLog::instance()->ClickInfo(QStringLiteral("click_exit_class"), QStringLiteral("{classid:%1}").arg(classId));
    // A re-entry still waiting for its MQTT logout ends with the page.
    isReEnteringClassroom = false;
    VideoSDK::instance()->leaveChannel();
    if (WidgetVideoItem *mine = videoItemList->getCurUserWidget()) {
        mine->setStateFlag(false);
        mine->muteVideo(true);
        if (bigVideo)
            bigVideo->setShowType(0);
    }
    slot_hideMessageWidget();
    if (whiteBoard)
        whiteBoard->closeMaterial();
    exitMode();
    if (userList)
        userList->clear();
    videoItemList->clear();
    lastClickedVideoItem = nullptr;
    classId.clear();
    isPressShift = false;
    isMessageWidgetVisible = false;

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
    ui->widget_switchmode->setVisible(visible);
}

void ClassWidget::showMessageWidget(bool visible)
{
    isMessageWidgetVisible = visible;
    // The chat takes the students' room in the right column.
    videoItemList->showStudentItems(!visible);
    if (messageWidget)
        messageWidget->setVisible(visible);
    ui->widget_spacer->setVisible(!visible);
    if (WidgetInteraction *tools = interactionTools())
        tools->setChatNewMsgIcon(false);
}

void ClassWidget::on_btnColor_clicked()
{
    if (colorPallet->isVisible()) {
        colorPallet->hide();
        return;
    }
    colorPallet->show();
    colorPallet->raise();
}

void ClassWidget::on_btnChat_clicked()
{
    showMessageWidget(!isMessageWidgetVisible);
}

void ClassWidget::slot_hideMessageWidget()
{
    showMessageWidget(false);
    if (WidgetInteraction *tools = interactionTools())
        tools->slot_setClickedChatBnt(false);
}

void ClassWidget::slot_clickCutImage()
{
    if (isPressShift)
        showMinimized();
    qDebug() << "slot_clickCutImage isPressShift:" << isPressShift;
    emit signal_startCutImage();
}

void ClassWidget::slot_clickCutImageFinish()
{
    if (windowState() & Qt::WindowMinimized)
        showNormal();
    qDebug() << "slot_clickCutImage isPressShift:" << isPressShift;
}

void ClassWidget::slot_receiveMessageWarn()
{
    WidgetInteraction *tools = interactionTools();
    if (tools && !isMessageWidgetVisible)
        tools->setChatNewMsgIcon(true);
}

int ClassWidget::deviceChangeMessageBox(QString msg)
{
    return CourseDialogs::ask(CourseDialogs::Information, this, text("velmo"),
                              Translatelanguage::instance()->getText(msg), QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::Yes);
}

void ClassWidget::slot_deviceStateChanged()
{
    qInfo("slot_deviceStateChanged initDevice");
    AgoraDeviceDetecting::instance()->initDevice();
}

void ClassWidget::slot_VideoDeviceStateChanged(const char *deviceId, int deviceType, int deviceState)
{
    Q_UNUSED(deviceId)
    Q_UNUSED(deviceType)
    Q_UNUSED(deviceState)
    AgoraDeviceDetecting::instance()->initDevice();
}

void ClassWidget::slot_onMessageSendError(QString msgId, int ecode)
{
    Q_UNUSED(ecode)
    if (!enterMsgId.isEmpty() && msgId == enterMsgId)
        qCritical("entermsg:slot_onMessageSendError");
}

void ClassWidget::on_pushButtonHelp_clicked()
{
    goToHelpCenter();
}

void ClassWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Shift) {
        isPressShift = true;
        qDebug() << "keyPressEvent isPressShift:" << isPressShift;
    }
    qInfo("key pressed. keyValue:%d", event->key());
    SignalQueueMgr::instance()->signalKeyEvent(event);
    WidgetClassMode::keyPressEvent(event);
}

void ClassWidget::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Shift)
        isPressShift = false;
    WidgetClassMode::keyReleaseEvent(event);
}

void ClassWidget::resizeEvent(QResizeEvent *event)
{
    WidgetClassMode::resizeEvent(event);
    placeBanner();
    placePallet();
    setSelectedVideoPosition();
}

void ClassWidget::placeBanner()
{
    networkDisconnect->setGeometry(0, 0, width(), networkDisconnect->height());
    networkDisconnect->raise();
}

void ClassWidget::placePallet()
{
    if (!colorPallet)
        return;
    const int x = (ui->widget_wb->width() - colorPallet->width()) / 2;
    const int y = height() - ui->widget_tool->height() - colorPallet->height() - 24;
    colorPallet->move(x, y);
}

// ---- Service logins, re-login and channel joins ------------------------

QString ClassWidget::lessonClassId() const
{
    // Before the lesson starts on the page (a page signed in on its own)
    // the class of the application state serves.
    return classId.isEmpty() ? Singleton<AppContext>::instance()->getClassId() : classId;
}

QString ClassWidget::rosterUid() const
{
    if (userList && userList->getCurUserIdx() >= 0)
        return userList->getCurUser().uid;
    return signedInUid();
}

void ClassWidget::loginIM(const QString &token)
{
    qInfo("im:loginIM");
    classInfo.agorainfo.sig_key = token;
    AgoraLoginMgr *im = AgoraLoginMgr::instance();
    connect(im, &AgoraLoginMgr::signal_onLoginSuccess, this, &ClassWidget::slot_onImLoginSuccess, Qt::UniqueConnection);
    connect(im, &AgoraLoginMgr::signal_onLoginFailed, this, &ClassWidget::slot_onImLoginFailed, Qt::UniqueConnection);
    connect(im, &AgoraLoginMgr::signal_onNormalLogut, this, &ClassWidget::slot_onNormalLogut, Qt::UniqueConnection);
    connect(im, &AgoraLoginMgr::signal_onDisconnected, this, &ClassWidget::slot_onDisconnected, Qt::UniqueConnection);
    im->login(signedInUid(), token);
    connect(VideoSDK::instance(), &VideoSDK::signal_audioVolumeChange, this, &ClassWidget::slot_currentAudioVolume,
            Qt::UniqueConnection);

    qInfo("im:login MQTT IM");
    MqttImSdk *mqtt = MqttImSdk::instance();
    mqtt->login(lessonClassId(), signedInUid(), loginCookieId());
    connect(mqtt, &MqttImSdk::signal_loginSuccess, this, &ClassWidget::slot_mqtt_loginSuccess, Qt::UniqueConnection);
    connect(mqtt, &MqttImSdk::signal_loginFailure, this, &ClassWidget::slot_mqtt_loginFailure, Qt::UniqueConnection);
    connect(mqtt, &MqttImSdk::signal_logoutSuccess, this, &ClassWidget::slot_mqtt_logoutSuccess, Qt::UniqueConnection);
    connect(mqtt, &MqttImSdk::signal_logoutFailure, this, &ClassWidget::slot_mqtt_logoutFailure, Qt::UniqueConnection);
    connect(mqtt, &MqttImSdk::signal_connectionLost, this, &ClassWidget::slot_mqtt_connectionLost,
            Qt::UniqueConnection);
}

void ClassWidget::slot_onImLoginSuccess(uint32_t, int)
{
    qInfo("im:slot_onImLoginSuccess");
    AgoraIMChannelMgr::instance()->joinChannel(lessonClassId());
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
    ActionLog::instance()->NormalInfo(QStringLiteral("sig_relogin"), QStringLiteral("{uid:%1}").arg(rosterUid()));
    qWarning("relogin %d milliseconds later", kReloginDelay);
    QTimer::singleShot(Durations::ms(kReloginDelay), this, &ClassWidget::slot_onImReLoginTimer);
}

void ClassWidget::slot_onImReLoginTimer()
{
    qWarning("start agora im relogin");
    // The newest signalling token: a key renewal may have replaced it.
    AgoraLoginMgr::instance()->login(signedInUid(), classInfo.agorainfo.sig_key);
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
    MqttImSdk::instance()->login(lessonClassId(), signedInUid(), loginCookieId());
    qWarning("end mqtt relogin");
}

void ClassWidget::slot_mqtt_loginSuccess(QString uid)
{
    MqttImSdk::instance()->joinChannel(lessonClassId(), uid);
}

void ClassWidget::slot_mqtt_loginFailure(int, QString)
{
    reloginMqtt();
}

void ClassWidget::slot_mqtt_connectionLost(QString lostCause)
{
    qCritical("connect lost, cause:%s", qUtf8Printable(lostCause));
    reloginMqtt();
}

void ClassWidget::slot_mqtt_logoutSuccess(QString)
{
    // Any other sign-out (leaving the class) ends here.
    if (!isReEnteringClassroom)
        return;
    qInfo("<reEnterClassroom> logout mqtt success.");
    SignalQueueMgr::instance()->signalReEnterClassroom();
    isReEnteringClassroom = false;
}

void ClassWidget::slot_mqtt_logoutFailure(int, QString)
{
}

void ClassWidget::slot_mqtt_simulateConnectLost()
{
    qInfo("<simulateConnectLost> start logout mqtt.");
    MqttImSdk *mqtt = MqttImSdk::instance();
    mqtt->leaveChannel();
    mqtt->logout();
    // The pause before logging in again runs on a timer, so the window
    // stays responsive meanwhile.
    QTimer::singleShot(Durations::ms(kReloginDelay), this, [this]() {
        qInfo("<simulateConnectLost> start login mqtt.");
        MqttImSdk::instance()->login(lessonClassId(), rosterUid(), loginCookieId());
    });
}

void ClassWidget::slot_reEnterClass()
{
    isReEnteringClassroom = true;
    qInfo("<reEnterClassroom> start logout mqtt");
    MqttImSdk *mqtt = MqttImSdk::instance();
    if (mqtt->isInChannel())
        mqtt->leaveChannel();
    if (mqtt->isConnected()) {
        mqtt->logout();
        return;
    }
    // Nothing to log out (MQTT is down): the re-entry goes on at once
    // rather than waiting for a logout that never comes.
    slot_mqtt_logoutSuccess();
}

void ClassWidget::joinVideoChannel(QString channel, QString uid, const QString &key)
{
    qInfo("videoTxt start joinVideoChannel uid:%s", qUtf8Printable(uid));
    if (WidgetVideoItem *tile = videoItemList->getWidgetByUid(uid)) {
        qInfo("videoTxt pItem not NULL");
        if (messageWidget)
            messageWidget->setChannelAndUser(classId, userList);
        tile->muteVideo(false);
        const QString name = tile->getUserInfo().userName;
        if (VideoSDK::instance()->joinChannel(channel, tile->getVideoWidget(), uid.toUInt(), key)) {
            tile->setStateFlag(true);
            tile->setAlertText(QString());
            qInfo("videoTxt join success,channel:%s, uid:%s, uName:%s", qUtf8Printable(channel), qUtf8Printable(uid),
                  qUtf8Printable(name));
        } else {
            qCritical("videoTxt join failure,channel:%s, uid:%s, uName:%s", qUtf8Printable(channel),
                      qUtf8Printable(uid), qUtf8Printable(name));
        }
    }
    qInfo("videoTxt end joinVideoChannel uid:%s", qUtf8Printable(uid));
}

void ClassWidget::slot_videoChannelJoinedSuccess(QString channelId, QString uid)
{
    Q_UNUSED(channelId)
    if (userList)
        userList->setIsInChannel(uid, true);
    if (WidgetVideoItem *tile = videoItemList->getWidgetByUid(uid)) {
        tile->setStateFlag(true);
        tile->setAlertText(QString());
        tile->resetToolState(false);
    }
}

void ClassWidget::slot_onReuqestChannelKey()
{
    qWarning("slot_onReuqestChannelKey");
    requestChannelKey(classId);
}

void ClassWidget::requestChannelKey(const QString &classId)
{
    // A renewal in flight is replaced by the newer one.
    if (updateSdkSigReply) {
        EntityNetworkReplyHolder *previous = updateSdkSigReply;
        updateSdkSigReply = nullptr;
        previous->abort();
    }
    EntityNetworkReplyHolder *reply = StudentApis::updateSdkSig(this, rosterUid(), classId);
    updateSdkSigReply = reply;
    connect(reply, &EntityNetworkReplyHolder::signal_onStart, this, &ClassWidget::slot_onStart_updateSdkSig);
    connect(reply, &EntityNetworkReplyHolder::signal_onFinish, this, &ClassWidget::slot_onFinish_updateSdkSig);
    connect(reply, &EntityNetworkReplyHolder::signal_onSuccess, this, &ClassWidget::slot_onSuccess_updateSdkSig);
    connect(reply, &EntityNetworkReplyHolder::signal_onFailure, this, &ClassWidget::slot_onFailure_updateSdkSig);
    connect(reply, &QObject::destroyed, this, [this, reply]() {
        if (updateSdkSigReply == reply)
            updateSdkSigReply = nullptr;
    });
}

void ClassWidget::slot_onStart_updateSdkSig()
{
    qInfo("slot_onStart_updateSdkSig");
}

void ClassWidget::slot_onFinish_updateSdkSig()
{
    qInfo("slot_onFinish_updateSdkSig");
}

void ClassWidget::slot_onSuccess_updateSdkSig(QString response)
{
    qInfo("slot_onSuccess_updateSdkSig");
    HttpEntity<AgoraInfo> answer;
    if (!fromJson(response, answer)) {
        qCritical("from json to AgoraInfo failed");
        return;
    }
    // Only kept: the next signalling login and RTC join use them.
    classInfo.agorainfo.sig_key = answer.data.sig_key;
    classInfo.agorainfo.media_key = answer.data.media_key;
    classInfo.agorainfo.record_key = answer.data.record_key;
    classInfo.agorainfo.expired_time = answer.data.expired_time;
}

void ClassWidget::slot_onFailure_updateSdkSig(BaseEntity baseEntity)
{
    qCritical("updateSdkSig failured, errCode:%d, errMsg:%s", baseEntity.errorCode,
              qUtf8Printable(baseEntity.errorMsg));
    CourseDialogs::notice(CourseDialogs::About, this, text("velmo"), text("videoerrorenteragain"));
}

void ClassWidget::slot_onError(QString errId, QString errMsg)
{
    qDebug("slot_onError, errId:%s errMsg:%s", qUtf8Printable(errId), qUtf8Printable(errMsg));
}

void ClassWidget::slot_onChannelJoinFailed(QString channelId, int ecode)
{
    qDebug("slot_onChannelJoinFailed, channelId:%s， ecode:%d", qUtf8Printable(channelId), ecode);
}

void ClassWidget::slot_onChannelLeaved(QString channelId, int ecode)
{
    qDebug("slot_onChannelLeaved, channelId:%s， ecode:%d", qUtf8Printable(channelId), ecode);
    if (userList)
        userList->resetAllStudentsInChannelStatus();
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
