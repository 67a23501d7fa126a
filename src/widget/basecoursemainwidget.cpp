#include "basecoursemainwidget.h"

#include "biz/device/agora/agoradevicedetecting.h"
#include "biz/httpapi/logevententity.h"
#include "biz/httpapi/studentapis.h"
#include "biz/im/agora/agoraloginmgr.h"
#include "mgr/appcontext.h"
#include "mgr/apprestart.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/http/apireply.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpentity.h"
#include "mgr/logeventmgr.h"
#include "mgr/message/classordergate.h"
#include "mgr/message/controlmessages.h"
#include "mgr/message/immsginfo.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "mgr/upgrademgr.h"
#include "rolepolicy.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/durations.h"
#include "utility/timeutility.h"
#include "utility/translatelanguage.h"
#include "utility/webpage.h"
#include "utility/widget/loadingwidget.h"
#include "utility/widget/promptmessagewidget.h"
#include "widget/baseloginwidget.h"
#include "widget/coursedialogs.h"
#include "widget/devicedetectingwidget.h"
#include "widget/rolewindows.h"
#include "widget/settingwidget.h"
#include "widget/supervisionclass.h"
#include "widget/widgetclassroom.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QUrl>

BaseCourseMainWidget::BaseCourseMainWidget(QWidget *parent)
    : BaseMainWidget(parent)
{
    connect(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_onKicked, this, &BaseCourseMainWidget::slot_onKicked);

    SignalQueueMgr *bus = SignalQueueMgr::instance();
    connect(bus, &SignalQueueMgr::signal_classroom_open, this, &BaseCourseMainWidget::slot_classroom_opened);
    connect(bus, &SignalQueueMgr::signal_classroom_close, this, &BaseCourseMainWidget::slot_classroom_closed);
    connect(bus, &SignalQueueMgr::signal_classroom_reEnter, this, &BaseCourseMainWidget::slot_reEnterClassRoom);
    connect(ClassOrderGate::instance(), &ClassOrderGate::signal_receiveRefreshApp, this,
            &BaseCourseMainWidget::slot_receiveRefreshApp);

    UpgradeMgr::instance()->setPromptWidget(this);
    logLoginOkEvent();
    UpgradeMgr::instance()->goCheck();
    QTimer::singleShot(Durations::ms(kDeviceCheckDelayMs), this, &BaseCourseMainWidget::checkDeviceConfig);

    AppRestart *restart = Singleton<AppRestart>::instance();
    if (restart->isAppRestart()) {
        const QString restartClassId = restart->getCurClassId();
        qInfo("<AppRestart> re-enter class after restart, classId:%s", qUtf8Printable(restartClassId));
        if (!restartClassId.isEmpty())
            joinClass(restartClassId);
        restart->setAppRestart(false);
    }
}

BaseCourseMainWidget::~BaseCourseMainWidget()
{
    UpgradeMgr::instance()->clearPromptWidget(this);
}

QString BaseCourseMainWidget::text(const char *key)
{
    return Translatelanguage::instance()->getText(QLatin1String(key));
}

WidgetClassRoom *BaseCourseMainWidget::classRoomWindow() const
{
    return classRoom;
}

QString BaseCourseMainWidget::currentClassId() const
{
    return classId;
}

void BaseCourseMainWidget::setCurrentClassId(const QString &id)
{
    classId = id;
}

LoadingWidget *BaseCourseMainWidget::classLoadingWidget() const
{
    return loadingWidget;
}

void BaseCourseMainWidget::initUserMenu()
{
    userMenu = new QMenu(this);
    logoutAction = new QAction(
        QCoreApplication::translate("BaseCourseMainWidget", RolePolicy::current().logoutMenuText), userMenu);
    connect(logoutAction, &QAction::triggered, this, [this](bool) { applicationLogout(); });
    userMenu->addAction(logoutAction);
    userMenu->setStyleSheet(QStringLiteral(
        "QMenu{background-color: white;border:1px solid #c8c8c8;font-size:14px; color:#666666;}    "
        "QMenu::item{ width:80px; height: 42px; margin: 0px; padding-left:14px;}    "
        "QMenu::item:selected{background-color: #dfdfdf;}"));
}

void BaseCourseMainWidget::joinClass(const QString &newClassId)
{
    qInfo() << "joinClass _classId:" << newClassId;
    ActionLog::instance()->ClickInfo(QStringLiteral("click_join_class"), QStringLiteral("{classId:%1}").arg(newClassId));
    if (loadingWidget && loadingWidget->getLoadingState() == LoadingWidget::StateLoading)
        return;
    // The panel appears when the request starts, from the event loop: a
    // second click before that still belongs to the entry under way.
    if (m_appConfigReply || classInfoReply)
        return;

    checkDeviceChange();
    classId = newClassId;
    if (!classRoom)
        classRoom = createClassRoom();
    if (classRoom && Singleton<AppContext>::instance()->isInClass()) {
        if (classRoom->getClassId() == newClassId) {
            classRoom->showMinimized();
            classRoom->showNormal();
            return;
        }
        const QString beginTime = QDateTime::fromSecsSinceEpoch(Singleton<AppContext>::instance()->getClassBeginTime())
                                      .toString(QStringLiteral("hh:mm"));
        qWarning("You are aleady in a class (%s), classId:%s.", qUtf8Printable(beginTime), qUtf8Printable(newClassId));
        const QMessageBox::StandardButton answer =
            CourseDialogs::ask(CourseDialogs::Information, this, text("velmo"), text("switchclass"),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer != QMessageBox::Yes) {
            // The open class stays the current one.
            if (classRoom) {
                classId = classRoom->getClassId();
                classRoom->showNormal();
            }
            return;
        }
        if (classRoom)
            classRoom->close();
        classRoom = createClassRoom();
    }
    getAppConfig();
}

WidgetClassRoom *BaseCourseMainWidget::createClassRoom()
{
    auto *window = new WidgetClassRoom(nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose);
    return window;
}

void BaseCourseMainWidget::checkDeviceConfig()
{
    if (QFileInfo::exists(getDeviceConfigFilePath())) {
        AgoraDeviceDetecting::instance()->startEnumDevices();
        AgoraDeviceDetecting::instance()->initDevice();
        return;
    }
    runDeviceTest();
}

void BaseCourseMainWidget::checkDeviceChange()
{
    if (AgoraDeviceDetecting::instance()->initDevice() >= 0)
        return;
    CourseDialogs::ask(CourseDialogs::Warning, this, text("velmo"), RolePolicy::current().deviceChangedWarning,
                       QMessageBox::Ok, QMessageBox::NoButton);
    runDeviceTest();
}

void BaseCourseMainWidget::runDeviceTest()
{
    DeviceDetectingWidget window(nullptr);
    CourseDialogs::runModal(&window);
}

void BaseCourseMainWidget::getAppConfig()
{
    qInfo("getAppConfig.");
    // A retry from the loading panel replaces the request in flight.
    abortReply(m_appConfigReply);
    EntityNetworkReplyHolder *reply = StudentApis::getAppConfig(this);
    m_appConfigReply = reply;
    // However the request ends (answer, refusal, transport failure or
    // time-out), the entry goes on to the class information once.
    bindApiReply<AppConfigData>(reply, this)
        .onStart(&BaseCourseMainWidget::slot_onStart_getAppConfig)
        .onSuccess(&BaseCourseMainWidget::slot_onSuccess_getAppConfig)
        .onFailure([this, reply](const BaseEntity &entity) {
            if (entity.errorCode == BaseEntity::UNREAD_ERROR_CODE)
                qCritical("from json to AppConfigData failed");
            else
                qWarning("getAppConfig failed, errCode:%d, errMsg:%s", entity.errorCode, qUtf8Printable(entity.errorMsg));
            appConfigEnded(reply);
        })
        .onFinish([this, reply] { appConfigEnded(reply); });
}

void BaseCourseMainWidget::appConfigEnded(EntityNetworkReplyHolder *reply)
{
    if (reply != m_appConfigReply)
        return;
    m_appConfigReply = nullptr;
    slot_onFinish_getAppConfig();
}

void BaseCourseMainWidget::slot_onStart_getAppConfig()
{
    if (!loadingWidget)
        loadingWidget = new LoadingWidget(this);
    qInfo("slot_onStart_getAppConfig");
    connect(loadingWidget, &LoadingWidget::signal_reload, this, &BaseCourseMainWidget::getAppConfig,
            Qt::UniqueConnection);
    loadingWidget->playGif(QStringLiteral(":/image/class/classLoading_greyBG.gif"));
    loadingWidget->setStyleColor(QStringLiteral("rgba(70, 68, 68, 0.2)"), QStringLiteral(" rgb(70, 68, 68)"),
                                 QStringLiteral("#ffffff"));
    loadingWidget->resize(size());
    loadingWidget->setLoadingState(LoadingWidget::StateLoading);
    loadingWidget->raise();
}

void BaseCourseMainWidget::slot_onSuccess_getAppConfig(const AppConfigData &config)
{
    qInfo("slot_onSuccess_getAppConfig");
    Singleton<AppContext>::instance()->setAppConfig(config);
}

void BaseCourseMainWidget::slot_onFinish_getAppConfig()
{
    qInfo("slot_onFinish_getAppConfig");
    getClassInfo(classId);
}

void BaseCourseMainWidget::getClassInfo(const QString &id)
{
    qInfo() << "getClassInfo classId:" << id;
    abortReply(classInfoReply);
    classInfoReply = bindApiReply<ClassInfoEntity>(StudentApis::classInfo(this, id), this)
                         .onSuccess(&BaseCourseMainWidget::classInfoReceived)
                         .onFailure(&BaseCourseMainWidget::slot_onFailure_getClassInfo)
                         .onFinish(&BaseCourseMainWidget::slot_onFinish_getClassInfo);
}

void BaseCourseMainWidget::removeLoadingWidget()
{
    if (!loadingWidget)
        return;
    loadingWidget->setLoadingState(LoadingWidget::StateHidden);
    delete loadingWidget;
    loadingWidget = nullptr;
}

bool BaseCourseMainWidget::takeClassInfoReply()
{
    // A reply that a newer request replaced says nothing any more.
    if (sender() && sender() != classInfoReply)
        return false;
    classInfoReply = nullptr;
    return true;
}

void BaseCourseMainWidget::slot_onSuccess_getClassInfo(const QString &response)
{
    HttpEntity<ClassInfoEntity> entity;
    if (!fromJson(response, entity)) {
        qCritical("from json to ClassInfoEntity failed");
        // Left as it is, the loading panel would block every later entry.
        if (takeClassInfoReply())
            classInfoFailed(BaseEntity(kUnreadableAnswerCode, QStringLiteral("unreadable class information")));
        return;
    }
    classInfoReceived(entity.data);
}

void BaseCourseMainWidget::classInfoReceived(const ClassInfoEntity &info)
{
    if (!takeClassInfoReply())
        return;
    qInfo() << "slot_onSuccess_getClassInfo classId:" << classId;
    classInfo = info;
    removeLoadingWidget();

    const qint64 offset = countDelayTimes(classInfo.cs_ts);
    ActionLog::instance()->setTimeOffset(offset);
    if (classRoom) {
        Singleton<AppContext>::instance()->setServerTimeOffset(offset);
        classRoom->startClass(classInfo);
        classRoom->show();
        showClassTimeNotice(classRoom, classInfo.status.toInt());
        if (SupervisionClass::getSupervisionClassFlag())
            hide();
    }
    ActionLog::instance()->NormalInfo(QStringLiteral("get_calssinfo_success"), QStringLiteral("classid=") + classId);
}

qint64 BaseCourseMainWidget::countDelayTimes(const ActionLogTimerInfo &stamps)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 offset = serverClockOffset(stamps, now);
    qInfo("<TimeLag> curTimeStamp:%lld, time lag between server and client is offset:%lld", now, offset);
    return offset;
}

void BaseCourseMainWidget::showClassTimeNotice(QWidget *parent, int status)
{
    if (!RolePolicy::current().noticesClassTime)
        return;
    AppContext *context = Singleton<AppContext>::instance();
    const qint64 nowServerMs = context->getServerTimeOffset() + QDateTime::currentMSecsSinceEpoch();
    const int secondsToStart = static_cast<int>(static_cast<qint64>(context->getClassBeginTime()) - nowServerMs / 1000);
    if (secondsToStart > 60) {
        CourseDialogs::notice(CourseDialogs::About, parent, QStringLiteral("Velmo"),
                              QStringLiteral("This class will start in ")
                                  + TimeUtility::getDurationText(static_cast<uint>(secondsToStart)));
    } else if (status != 1 && secondsToStart < -WidgetClassRoom::kClassLengthSecs) {
        CourseDialogs::notice(CourseDialogs::About, parent, QStringLiteral("Velmo"), QStringLiteral("The class is over."));
    }
}

void BaseCourseMainWidget::slot_onFailure_getClassInfo(const BaseEntity &entity)
{
    if (takeClassInfoReply())
        classInfoFailed(entity);
}

void BaseCourseMainWidget::classInfoFailed(const BaseEntity &entity)
{
    qCritical("getClassInfo failured, errCode:%d, errMsg:%s", entity.errorCode, qUtf8Printable(entity.errorMsg));
    ActionLog::instance()->ErrorInfo(QStringLiteral("get_classinfo_failure"),
                                     QStringLiteral("{classid:%1,code:%2,errMsg:%3}")
                                         .arg(classId)
                                         .arg(entity.errorCode)
                                         .arg(entity.errorMsg));
    removeLoadingWidget();
    if (entity.errorCode == 410) {
        showPromptMessage(entity.errorMsg, this, 2, false);
    } else {
        CourseDialogs::notice(CourseDialogs::About, this, text("velmo"),
                              text("startclassfailedchecknetwork") + QStringLiteral("\n[%1]").arg(entity.errorCode));
    }
    qCritical("getClassInfo failured, errCode:%d, errMsg:%s", entity.errorCode, qUtf8Printable(entity.errorMsg));
}

void BaseCourseMainWidget::slot_onFinish_getClassInfo()
{
    qInfo("getClassInfo finished.");
}

void BaseCourseMainWidget::slot_classroom_opened()
{
    m_joinedClassId = classId;
    sendEvent(QStringLiteral("class/join"), m_joinedClassId);
}

void BaseCourseMainWidget::slot_classroom_closed()
{
    classRoom = nullptr;
    sendEvent(QStringLiteral("class/exit"), m_joinedClassId);
    qInfo("<reEnterClassroom> slot_reEnterClassRoom bReEnterClassroom:%d", bReEnterClassroom ? 1 : 0);
}

void BaseCourseMainWidget::slot_reEnterClassRoom()
{
    qInfo("<reEnterClassroom> slot_reEnterClassRoom bReEnterClassroom:%d", bReEnterClassroom ? 1 : 0);
    bReEnterClassroom = true;
    if (classRoom) {
        WidgetClassRoom *window = classRoom;
        classRoom = nullptr;
        window->close();
    }
    QTimer::singleShot(Durations::ms(kReEnterDelayMs), this, &BaseCourseMainWidget::slot_reEnterClassroomImp);
}

void BaseCourseMainWidget::slot_reEnterClassroomImp()
{
    qInfo("<reEnterClassroom> start reEnterClassroom bReEnterClassroom:%d", bReEnterClassroom ? 1 : 0);
    bReEnterClassroom = false;
    if (!classRoom)
        classRoom = createClassRoom();
    qInfo("<reEnterClassroom> initionzalized classroom bReEnterClassroom:%d", bReEnterClassroom ? 1 : 0);
    getAppConfig();
    qInfo("<reEnterClassroom> end reEnterClassroom bReEnterClassroom:%d", bReEnterClassroom ? 1 : 0);
}

void BaseCourseMainWidget::slot_receiveRefreshApp(const ImMsgInfo &, const RefreshApp &protocol)
{
    if (protocol.uid != Singleton<GlobalCurrentUser>::instance()->getUid())
        return;
    if (protocol.type == 2) {
        QTimer::singleShot(Durations::ms(kRefreshRequestDelayMs), this,
                           &BaseCourseMainWidget::slot_logoutMqttToReEnterClassroom);
    } else if (protocol.type == 3) {
        QTimer::singleShot(Durations::ms(kRefreshRequestDelayMs), this, &BaseCourseMainWidget::slot_restartApp);
    }
}

void BaseCourseMainWidget::slot_logoutMqttToReEnterClassroom()
{
    SignalQueueMgr::instance()->signalLogoutMqttToReEnterClassroom();
}

void BaseCourseMainWidget::slot_restartApp()
{
    qInfo("<AppRestart> slot_restartApp");
    QApplication::closeAllWindows();
    CourseDialogs::exitEventLoop(kRestartExitCode);
}

void BaseCourseMainWidget::slot_onKicked()
{
    if (classRoom) {
        WidgetClassRoom *window = classRoom;
        classRoom = nullptr;
        window->close();
    }
    CourseDialogs::notice(CourseDialogs::About, this, text("velmo"), text("loginedonanotherdevice"));
    qInfo("slot_onKicked");
}

void BaseCourseMainWidget::applicationLogout()
{
    qInfo("application Logout...");
    baseloginwidget *loginWidget = RoleWindows::current().newLoginWidget();
    loginWidget->setShouldAutoLogin(false);
    loginWidget->readLoginInfo();
    loginWidget->show();
    if (classRoom) {
        WidgetClassRoom *window = classRoom;
        classRoom = nullptr;
        window->close();
    }
    close();
}

void BaseCourseMainWidget::closeCourseMainWidget()
{
    if (!classRoom || !Singleton<AppContext>::instance()->isInClass()) {
        close();
        return;
    }
    const QMessageBox::StandardButton answer =
        CourseDialogs::ask(CourseDialogs::Warning, this, text("velmo"), text("suretoleaveplatform"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) {
        qInfo("clicked no, stay current window");
        return;
    }
    if (classRoom) {
        WidgetClassRoom *window = classRoom;
        classRoom = nullptr;
        window->close();
    }
    close();
}

void BaseCourseMainWidget::getMemberCenterUrl()
{
    abortReply(memberCenterReply);
    memberCenterReply = bindApiReply<WebUrlEntity>(StudentApis::webUrl(this), this)
                            .onSuccess(&BaseCourseMainWidget::slot_onSuccess_getMemberCenterUrl)
                            .onFailure([](const BaseEntity &entity) {
                                if (entity.errorCode == BaseEntity::UNREAD_ERROR_CODE)
                                    qCritical("fromJson to WebUrlEntity Failed");
                            });
}

void BaseCourseMainWidget::slot_onSuccess_getMemberCenterUrl(const WebUrlEntity &page)
{
    qInfo("memberCenter url:%s", qUtf8Printable(page.url));
    openServerUrl(page.url, "member centre");
}

bool BaseCourseMainWidget::openServerUrl(const QString &url, const char *what)
{
    const QUrl address(url, QUrl::TolerantMode);
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        || address.host().isEmpty()) {
        qWarning("refused to open the %s address, not an http(s) address: %s", what, qUtf8Printable(url));
        return false;
    }
    return WebPage::open(address.toString());
}

void BaseCourseMainWidget::abortReply(QPointer<EntityNetworkReplyHolder> &reply)
{
    if (!reply)
        return;
    EntityNetworkReplyHolder *previous = reply;
    reply = nullptr;
    previous->abort();
}

void BaseCourseMainWidget::showSettingWindow()
{
    SettingWidget window(nullptr);
    CourseDialogs::runModal(&window);
}

void BaseCourseMainWidget::clearListWidget(QListWidget *list)
{
    isClearingList = true;
    while (list->count() > 0) {
        QListWidgetItem *item = list->item(0);
        QWidget *widget = list->itemWidget(item);
        list->setItemWidget(item, nullptr);
        delete widget;
        delete list->takeItem(0);
    }
    isClearingList = false;
}

void BaseCourseMainWidget::logLoginOkEvent()
{
    qInfo("logLoginOkEvent");
    sendEvent(QStringLiteral("user/login"), QStringLiteral("1"));
}

void BaseCourseMainWidget::sendEvent(const QString &key, const QString &value)
{
    // Fire and forget: the reply releases itself.
    const QVector<LogEventEntity> events{ { LogEventMgr::instance()->eventPath(), key, value } };
    StudentApis::logEvent(this, events);
}

void BaseCourseMainWidget::closeEvent(QCloseEvent *event)
{
    qInfo("BaseCourseMainWidget::closeEvent");
    UpgradeMgr::instance()->clearPromptWidget(this);
    BaseMainWidget::closeEvent(event);
    qInfo("clicked yes, also close classroom window");
}
