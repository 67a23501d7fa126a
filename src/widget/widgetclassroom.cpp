#include "widgetclassroom.h"
#include "ui_widgetclassroom.h"

#include "biz/course/classinfoentity.h"
#include "biz/device/agora/agoradevicedetecting.h"
#include "biz/im/agora/videosdk.h"
#include "mgr/appcontext.h"
#include "mgr/apprestart.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/message/classordergate.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "rolepolicy.h"
#include "utility/actionlog.h"
#include "utility/timeutility.h"
#include "utility/translatelanguage.h"
#include "utility/userinfo.h"
#include "utility/widget/promptmessagewidget.h"
#include "utility/widget/widgettitlebar.h"
#include "widget/classwidget.h"
#include "widget/coursedialogs.h"
#include "widget/student/prizemodelwidgetstu.h"
#include "widget/student/studentclasswidget.h"
#include "widget/student/supervisionclasswidget.h"
#include "widget/student/widgetreview.h"
#include "widget/supervisionclass.h"
#include "widget/teacher/prizemodelwidget.h"
#include "widget/teacherclasswidget.h"

#include <QCloseEvent>
#include <QJsonDocument>

namespace {

// The client version every enter and exit message carries.
const char kClientVersion[] = "1.1.5.1";
// A student who leaves later than this into an uncommented class reviews it
// first.
const qint64 kReviewAfterSecs = 1200;
// How long the service's notices stay, counting down.
const int kServerNoticeSecs = 5;

QString text(const char *key)
{
    return Translatelanguage::instance()->getText(QString::fromLatin1(key));
}

QString currentUid()
{
    return Singleton<GlobalCurrentUser>::instance()->getUid();
}

bool isKnownMode(int mode)
{
    return mode == WidgetClassMode::ClassMode || mode == WidgetClassMode::PrizeMode;
}

QString pointerText(const void *pointer)
{
    return QStringLiteral("0x%1").arg(reinterpret_cast<quintptr>(pointer), 0, 16);
}

} // namespace

WidgetClassRoom::WidgetClassRoom(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::WidgetClassRoom)
    , m_userList(new UserList)
{
    ui->setupUi(this);
    // The window is found by this title (one program at a time).
    setWindowTitle(text("Classroom"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocus();

    m_titleBar = new WidgetTitleBar(this, false);
    ui->layoutTitlebar->addWidget(m_titleBar);
    connect(m_titleBar, &WidgetTitleBar::signal_btnClose, this, &WidgetClassRoom::slot_closeWidget);

    m_classWidget = createClassWidget();
    addClassMode(m_classWidget);
    addClassMode(createPrizeModeWidget());
    setModule(WidgetClassMode::ClassMode);

    connect(SignalQueueMgr::instance(), &SignalQueueMgr::signal_switchClassMode, this,
            &WidgetClassRoom::slot_switchMode);
    // Orders come through the gate: only the teacher's, only the back end's.
    ClassOrderGate *orders = ClassOrderGate::instance();
    connect(orders, &ClassOrderGate::signal_receiveClassModelControl, this,
            &WidgetClassRoom::slot_receiveSwitchClassModel);
    connect(orders, &ClassOrderGate::signal_receiveSendSysMsg, this, &WidgetClassRoom::slot_receiveSendSysMsg);
    connect(orders, &ClassOrderGate::signal_receiveRefreshApp, this, &WidgetClassRoom::slot_receiveRefreshApp);
    connect(orders, &ClassOrderGate::signal_receiveRequestDeivceInfo, this,
            &WidgetClassRoom::slot_receiveRequestDeivceInfo);
    connect(orders, &ClassOrderGate::signal_receiveSwitchDevice, this, &WidgetClassRoom::slot_receiveSwitchDevice);
    connect(orders, &ClassOrderGate::signal_receiveSetVideoProfileMsg, this,
            &WidgetClassRoom::slot_receiveSetVideoProfileMsg);
    VideoSDK *video = VideoSDK::instance();
    connect(video, &VideoSDK::signal_UserJoined, this, &WidgetClassRoom::slot_videoChannelSomeOneJoined);
    connect(video, &VideoSDK::signal_UserOffline, this, &WidgetClassRoom::slot_videoChannelSomeOneLeaved);

    SignalQueueMgr::instance()->signalClassroomOpen();
}

WidgetClassRoom::~WidgetClassRoom()
{
    // The pages are children and go first; they hold the roster pointer.
    qDeleteAll(findChildren<WidgetClassMode *>(QString(), Qt::FindDirectChildrenOnly));
    delete m_userList;
    delete ui;
}

// ---- Lesson start and roster -------------------------------------------

void WidgetClassRoom::startClass(const ClassInfoEntity &info)
{
    m_localPlayCapability = info.app_config.video_play_mode;
    m_classId = info.class_id;
    m_isCommented = info.is_commented;

    AppContext *context = Singleton<AppContext>::instance();
    context->setClassBeginTime(info.begin_time.toUInt());
    context->setClassLength(kClassLengthSecs);
    context->setClassId(m_classId);
    context->setInClass(true);

    initUsers(info);
    QStringList roster;
    for (int i = 0; i < m_userList->getUserCount(); ++i)
        roster << m_userList->getUserInfoByIdx(i).uid;
    ClassOrderGate::instance()->setClass(m_classId, m_userList->getTeacher().uid, roster);
    Singleton<AppRestart>::instance()->setCurClassId(m_classId);
    SendAndReceiveMsg::instance()->setVideoLocalPlayCapability(m_localPlayCapability == 1 ? 1 : 0);

    if (m_classWidget) {
        const int profile = info.app_config.fps < 0 ? 40 : info.app_config.fps;
        const int result = VideoSDK::instance()->setVideoProfile(profile);
        if (result != 0)
            qCritical("setvideoProfile error, errCode:%d", result);
        qInfo("<classroom> start class, init ClassWidget");
        m_classWidget->startClass(this, info);
    }
    setModule(WidgetClassMode::ClassMode);

    if (RolePolicy::current().maximisesClassroom && !isMaximized())
        m_titleBar->on_pushButtonMax_clicked();
}

QString WidgetClassRoom::getClassId() const
{
    return m_classId;
}

UserList *WidgetClassRoom::getUserList() const
{
    return m_userList;
}

ClassWidget *WidgetClassRoom::createClassWidget()
{
    qInfo("<classroom> create ClassWidget instance.");
    // An observer is never heard, whoever asks for its microphone.
    VideoSDK::instance()->setMicrophoneHeldOff(SupervisionClass::getSupervisionClassFlag());
    ClassWidget *page = nullptr;
    if (RolePolicy::current().teacherPages)
        page = new TeacherClassWidget(this);
    else if (SupervisionClass::getSupervisionClassFlag())
        page = new SupervisionClassWidget(this);
    else
        page = new StudentClassWidget(this);
    page->init();
    return page;
}

WidgetClassMode *WidgetClassRoom::createPrizeModeWidget()
{
    if (RolePolicy::current().teacherPages)
        return new PrizeModelWidget(this);
    return new PrizemodelwidgetStu(this);
}

void WidgetClassRoom::initUsers(const ClassInfoEntity &info)
{
    if (!m_userList)
        return;
    m_userList->clear();

    UserInfo teacher;
    teacher.uid = info.teacher.tid;
    teacher.userName = info.teacher.nickname;
    teacher.userType = UserInfo::Teacher;
    teacher.pic = info.teacher.pic;
    qDebug() << "teacher userName" << teacher.userName;
    m_userList->addUser(teacher);
    m_userList->setTeacherIdx(0);

    const QString me = currentUid();
    QVector<UserInfo> others;
    for (const ClassStudentEntity &student : info.students) {
        UserInfo user;
        user.uid = student.sid;
        user.userName = student.nickname;
        user.userType = UserInfo::Student;
        user.pic = student.pic;
        user.likeNum = student.like_num.toInt();
        user.lastAwardInfo = student.lastAwardsInfo;
        qDebug() << "student userName" << user.userName;
        if (user.uid == me) {
            m_userList->addUser(user);
            m_userList->setCurUserIdx(m_userList->getUserCount() - 1);
        } else {
            others.append(user);
        }
    }
    m_userList->addUsers(others);
}

void WidgetClassRoom::sendEnterOrLeaveMsg(bool bEnterMsg)
{
    qInfo("entermsg:sendEnterorLeaveMsg bEnterMsg:%d", bEnterMsg ? 1 : 0);
    ProtocolEnterOrLeaveClass protocol;
    protocol.classid = m_classId;
    protocol.source = RolePolicy::current().sourceCode;
    protocol.clientVersion = QString::fromLatin1(kClientVersion);
    protocol.video_local_play_capability = m_localPlayCapability == 1 ? 1 : 0;
    qInfo("send EnterOrLeaveClassProtocol:%s",
          qUtf8Printable(QStringLiteral("classid:%1,source:%2, clientVersion:%3, video_local_play_capability:%4")
                             .arg(protocol.classid, protocol.source, protocol.clientVersion)
                             .arg(protocol.video_local_play_capability)));
    const QString msgId = SendAndReceiveMsg::instance()->sendMsg(protocol, bEnterMsg ? IM_EnterClass : IM_ExitClass,
                                                                 currentUid());
    qInfo("enterClassMsgId:%s", qUtf8Printable(msgId));
}

// ---- Mode pages ----------------------------------------------------------

void WidgetClassRoom::addClassMode(WidgetClassMode *mode)
{
    if (!mode) {
        qWarning("you attempt to add a NULL obj!");
        return;
    }
    if (m_modes.contains(mode))
        return;
    qInfo("<classroom> add class mode:%s ptr:%s", qUtf8Printable(mode->modeName()), qUtf8Printable(pointerText(mode)));
    mode->hide();
    m_modes.append(mode);
}

bool WidgetClassRoom::changeModule(WidgetClassMode *mode)
{
    if (!mode)
        return false;
    WidgetVideoItemList *tiles = nullptr;
    if (m_curMode) {
        WidgetClassMode *left = m_curMode;
        qInfo("<classroom> change mode from %s to %s", qUtf8Printable(left->modeName()),
              qUtf8Printable(mode->modeName()));
        ui->layoutContent->removeWidget(left);
        left->exitMode();
        left->hide();
        qInfo("<classroom> exit and hide mode:%s ptr:%s", qUtf8Printable(left->modeName()),
              qUtf8Printable(pointerText(left)));
        tiles = left->getVideoItemList();
        mode->clearFocus();
    } else {
        qInfo("initialize to %s", qUtf8Printable(mode->modeName()));
    }
    // Current first: the page's own combo-box update in enterMode must find
    // its mode already shown.
    m_curMode = mode;
    mode->enterMode(this, tiles);
    mode->show();
    qInfo("<classroom> enter and show mode:%s ptr:%s", qUtf8Printable(mode->modeName()),
          qUtf8Printable(pointerText(mode)));
    ui->layoutContent->addWidget(mode);
    if (!m_modes.contains(mode))
        m_modes.append(mode);
    return true;
}

void WidgetClassRoom::setModule(enum WidgetClassMode::ClassMode mode)
{
    if (m_curMode && m_curMode->getClassMode() == mode)
        return;
    for (WidgetClassMode *page : qAsConst(m_modes)) {
        if (page->getClassMode() == mode) {
            changeModule(page);
            return;
        }
    }
    qCritical("Can not find modeType(%d)'s mode object.)", static_cast<int>(mode));
}

void WidgetClassRoom::sendSwitchModeMsg(int mode)
{
    ClassModelControl control;
    control.type = mode;
    control.classid = m_classId;
    SendAndReceiveMsg::instance()->sendMsg(control, IM_ClassMode, m_userList->getTeacher().uid);
}

void WidgetClassRoom::slot_switchMode(int mode)
{
    if (m_curMode && m_curMode->getClassMode() == mode)
        return;
    if (!isKnownMode(mode)) {
        qCritical("Can not find modeType(%d)'s mode object.)", mode);
        return;
    }
    setModule(static_cast<enum WidgetClassMode::ClassMode>(mode));
    if (RolePolicy::current().ordersClassMode)
        sendSwitchModeMsg(mode);
    ActionLog::instance()->ClickInfo(QStringLiteral("click_switch_classMode"),
                                     QStringLiteral("{modeName:%1}").arg(m_curMode ? m_curMode->modeName() : QString()));
}

void WidgetClassRoom::slot_receiveSwitchClassModel(ImMsgInfo, ClassModelControl protocol)
{
    qInfo("slot_receiveSwitchClassModel");
    if (!isKnownMode(protocol.type)) {
        qCritical("Can not find modeType(%d)'s mode object.)", protocol.type);
        return;
    }
    setModule(static_cast<enum WidgetClassMode::ClassMode>(protocol.type));
}

// ---- The service's orders -----------------------------------------------

bool WidgetClassRoom::isForMe(const QString &uid)
{
    return uid == currentUid();
}

void WidgetClassRoom::showServerNotice(const QString &notice)
{
    showPromptMessage(text("backendSysFlag") + notice, this, kServerNoticeSecs, true);
}

void WidgetClassRoom::showNoticeBox(const QString &notice)
{
    if (m_noticeBoxOpen) {
        // A repeat of what shows or waits already adds nothing.
        const QString &latest = m_waitingNotices.isEmpty() ? m_shownNotice : m_waitingNotices.last();
        if (latest == notice)
            return;
        if (m_waitingNotices.size() >= kMaxWaitingNotices) {
            qWarning("notice box busy: the last waiting notice is replaced by the newest");
            m_waitingNotices.last() = notice;
        } else {
            m_waitingNotices.append(notice);
        }
        return;
    }
    m_noticeBoxOpen = true;
    m_shownNotice = notice;
    CourseDialogs::Box box;
    box.kind = CourseDialogs::About;
    box.parent = this;
    box.title = text("velmo");
    box.text = notice;
    CourseDialogs::open(box, this, [this](int) {
        m_noticeBoxOpen = false;
        m_shownNotice.clear();
        if (!m_waitingNotices.isEmpty())
            showNoticeBox(m_waitingNotices.takeFirst());
    });
}

void WidgetClassRoom::slot_receiveSendSysMsg(ImMsgInfo, SendSysMsg msg)
{
    qInfo("slot_receiveSendSysMsg");
    if (!isForMe(msg.uid)) {
        qInfo("this msg is not send to me.");
        return;
    }
    if (msg.level == 1)
        showNoticeBox(msg.content);
    else if (msg.level == 2)
        showServerNotice(msg.content);
}

void WidgetClassRoom::slot_receiveRefreshApp(ImMsgInfo, RefreshApp msg)
{
    if (!isForMe(msg.uid)) {
        qInfo("this msg is not send to me.");
        return;
    }
    // The course window re-enters or restarts a little later.
    if (msg.type == 2 || msg.type == 3)
        showServerNotice(msg.alertMsg);
}

void WidgetClassRoom::slot_receiveRequestDeivceInfo(ImMsgInfo info, RequestDeivceInfo msg)
{
    qInfo("<switchDevice> start slot_receiveRequestDeivceInfo");
    if (!isForMe(msg.uid)) {
        qInfo("this msg is not send to me.");
        return;
    }
    const AgoraDeviceDetecting *devices = AgoraDeviceDetecting::instance();
    ResponseDeviceInfo response;
    response.classid = m_classId;
    response.uid = info.uid;
    response.curSpeakerId = devices->getAgoraPlaybackDeviceId();
    response.curMicrophoneId = devices->getAgoraRecordingDeviceId();
    response.curCameraId = devices->getAgoraVideoDeviceId();
    response.speackers = devices->getPlayoutDeviceList();
    response.microphones = devices->getRecordingDeviceList();
    response.cameras = devices->getVideoDeviceList();
    qInfo("<switchDevice> before send msg");
    SendAndReceiveMsg::instance()->sendMsg(response, IM_ResponseDeviceInfo, currentUid(), info.uid);
    const QString json = QString::fromUtf8(QJsonDocument(toJson(response)).toJson(QJsonDocument::Compact));
    qInfo("<switchDevice> have sent msg to %s, strJson:%s", qUtf8Printable(info.uid), qUtf8Printable(json));
    qInfo("<switchDevice> end slot_receiveRequestDeivceInfo");
}

void WidgetClassRoom::slot_receiveSwitchDevice(ImMsgInfo, SwitchDevice msg)
{
    if (!isForMe(msg.uid)) {
        qInfo("this msg is not send to me.");
        return;
    }
    qInfo("<switchDevice> slot_receiveSwitchDevice, alertMsg:%s", qUtf8Printable(msg.alertMsg));
    showServerNotice(msg.alertMsg);
}

void WidgetClassRoom::slot_receiveSetVideoProfileMsg(ImMsgInfo, SetVideoProfileMsg msg)
{
    qInfo("slot_receiveSetVideoProfileMsg");
    if (!isForMe(msg.uid)) {
        qInfo("this msg is not send to me.");
        return;
    }
    const int result = VideoSDK::instance()->setVideoProfile(msg.video_profile);
    qInfo("setVideoProfile ret:%d", result);
}

// ---- Presence in the RTC channel ----------------------------------------

void WidgetClassRoom::slot_videoChannelSomeOneJoined(QString uid)
{
    if (!m_curMode) {
        qCritical("curClassMode is NULL");
        return;
    }
    qInfo("%s joined.", qUtf8Printable(uid));
    m_userList->setIsInChannel(uid, true);
    // The newcomer learns that this user is here.
    sendEnterOrLeaveMsg(true);
    m_curMode->slot_onChannelUserJoined(uid);
    if (RolePolicy::current().ordersClassMode) {
        ClassModelControl control;
        control.type = m_curMode->getClassMode();
        control.classid = m_classId;
        SendAndReceiveMsg::instance()->sendMsg(control, IM_ClassMode, m_userList->getTeacher().uid, uid);
    }
}

void WidgetClassRoom::slot_videoChannelSomeOneLeaved(QString uid)
{
    if (!m_curMode) {
        qCritical("curClassMode is NULL");
        return;
    }
    qInfo("%s leaved.", qUtf8Printable(uid));
    m_userList->setIsInChannel(uid, false);
    m_curMode->slot_onChannelUserLeaved(uid);
}

// ---- Leaving -------------------------------------------------------------

qint64 WidgetClassRoom::elapsedClassSecs() const
{
    const AppContext *context = Singleton<AppContext>::instance();
    return (TimeUtility::currentMSecsSinceEpoch() + context->getServerTimeOffset()) / 1000
        - static_cast<qint64>(context->getClassBeginTime());
}

void WidgetClassRoom::slot_closeWidget()
{
    const QMessageBox::StandardButton answer =
        CourseDialogs::ask(CourseDialogs::Warning, this, text("velmo"), text("suretoleaveclassroom"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) {
        qInfo("clicked no, cancel close.");
        return;
    }
    const qint64 elapsed = elapsedClassSecs();
    qInfo("<ClassReview> try to comment class, time:%lld, isCommented:%d", elapsed, m_isCommented ? 1 : 0);
    if (RolePolicy::current().reviewsClassOnLeaving && !m_isCommented && elapsed > kReviewAfterSecs) {
        if (!m_review) {
            qInfo("<ClassReview> create WidgetReview");
            m_review = new WidgetReview(this);
            m_review->setClassId(m_classId);
            connect(m_review, &WidgetReview::signal_close, this, &WidgetClassRoom::slot_review_closed);
        }
        m_review->show();
    } else {
        close();
    }
    emit signal_close(false);
}

void WidgetClassRoom::slot_review_closed()
{
    qInfo("slot_review_closed");
    close();
}

void WidgetClassRoom::closeEvent(QCloseEvent *event)
{
    if (!m_closed) {
        m_closed = true;
        Singleton<AppContext>::instance()->resetClassInfo();
        if (ClassOrderGate::instance()->classId() == m_classId)
            ClassOrderGate::instance()->clearClass();
        sendEnterOrLeaveMsg(false);
        for (WidgetClassMode *page : qAsConst(m_modes))
            page->destoryMode();
        VideoSDK *video = VideoSDK::instance();
        video->renameAgoraLogFileForUploading();
        video->setAgoraLogFilePath();
        SignalQueueMgr::instance()->signalClassroomClose();
        qInfo("clicked yes, exit classroom.");
    }
    BaseMainWidget::closeEvent(event);
}
