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
#include "mgr/message/classordergate.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "platform/player/avplayer.h"
#include "utility/actionlog.h"
#include "utility/durations.h"
#include "utility/jsonutil.h"
#include "utility/translatelanguage.h"
#include "widget/classwidgetsetting.h"
#include "widget/coursedialogs.h"
#include "widget/networkdisconnect.h"
#include "widget/praiseeffectswidget.h"
#include "widget/videoviewbinder.h"
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
#include <QBoxLayout>
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
    // The lesson's audio and videos need the media player: loaded now, in
    // the background, not when a video opens.
    QtAV::AVPlayer::prepareBackend();
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

    connectClassControl();
    createBigVideo();
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
        const QString uid = tile->getUserInfo().uid;
        // A video that cannot be bound again still leaves the tile's
        // presence to refresh.
        if (!tile->restoreVideoView())
            qWarning("videoTxt the video of %s is not bound again", qUtf8Printable(uid));
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
    // With SHIFT held the cut shows what lies under the classroom: the
    // classroom window goes out of the way (the page itself is no window).
    QWidget *room = window();
    if (isPressShift && !room->isMinimized()) {
        stateBeforeCut = room->windowState();
        room->showMinimized();
    }
    qDebug() << "slot_clickCutImage isPressShift:" << isPressShift;
    emit signal_startCutImage();
}

void ClassWidget::slot_clickCutImageFinish()
{
    QWidget *room = window();
    if (stateBeforeCut && room->isMinimized()) {
        // Back as it was: a student's classroom stays maximised.
        room->setWindowState(*stateBeforeCut & ~Qt::WindowMinimized);
        room->show();
    }
    stateBeforeCut.reset();
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
    continueReEntry();
}

void ClassWidget::slot_mqtt_logoutFailure(int errCode, QString)
{
    if (!isReEnteringClassroom)
        return;
    // The classroom is left and entered again all the same: the new login
    // replaces whatever is left of this connection.
    qWarning("<reEnterClassroom> logout mqtt failure, code:%d, re-entering all the same.", errCode);
    continueReEntry();
}

void ClassWidget::continueReEntry()
{
    SignalQueueMgr::instance()->signalReEnterClassroom();
    isReEnteringClassroom = false;
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
        // The own uid is checked as every tile's is: one that is no number
        // would join as the engine's uid 0.
        uint engineUid = 0;
        if (VideoViewBinder::toEngineUid(uid, &engineUid)
            && VideoSDK::instance()->joinChannel(channel, tile->getVideoWidget(), engineUid, key)) {
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

void ClassWidget::connectClassControl()
{
    // Once only, whoever connects it first.
    connect(ClassOrderGate::instance(), &ClassOrderGate::signal_receiveEncourageMsg, this,
            &ClassWidget::slot_receiveEncourageMsg, Qt::UniqueConnection);
}

void ClassWidget::createBigVideo()
{
    if (bigVideo)
        return;
    bigVideo = new WidgetBigVideo(this);
    bigVideo->setMoveBounds(width(), height(), kBigVideoMoveMargin);
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
    if (user.userType == UserInfo::Teacher) {
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
        if (!includeTeacher && tile->getUserInfo().userType == UserInfo::Teacher)
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
    Q_UNUSED(info)
    qInfo() << "slot_receiveEncourageMsg classId:" << data.classid.left(64);
    if (!userList)
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
