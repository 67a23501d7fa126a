#include "widgetclassroom.h"

#include "biz/course/classinfoentity.h"
#include "mgr/appcontext.h"
#include "mgr/apprestart.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "utility/translatelanguage.h"
#include "utility/userinfo.h"
#include "widget/classwidget.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QVBoxLayout>

WidgetClassRoom::WidgetClassRoom(QWidget *parent)
    : BaseMainWidget(parent)
    , m_label(new QLabel(this))
    , m_userList(new UserList)
{
    setObjectName(QStringLiteral("WidgetClassRoom"));
    setWindowTitle(Translatelanguage::instance()->getText(QStringLiteral("Classroom")));
    setMinimumSize(1024, 690);
    setStyleSheet(QStringLiteral("QFrame#WidgetClassRoom{background-color: #2f3244;}"
                                 "QLabel{color: #ffffff; font-size: 20px;}"));
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    SignalQueueMgr::instance()->signalClassroomOpen();
}

WidgetClassRoom::~WidgetClassRoom()
{
    delete m_userList;
}

void WidgetClassRoom::startClass(const ClassInfoEntity &info)
{
    qInfo("<classroom> startClass classId:%s", qUtf8Printable(info.class_id));
    m_classId = info.class_id;
    AppContext *context = Singleton<AppContext>::instance();
    context->setClassId(info.class_id);
    context->setClassBeginTime(info.begin_time.toUInt());
    context->setClassLength(kClassLengthSecs);
    context->setInClass(true);
    Singleton<AppRestart>::instance()->setCurClassId(info.class_id);

    const QDateTime begin = QDateTime::fromSecsSinceEpoch(info.begin_time.toLongLong());
    m_label->setText(QStringLiteral("%1\n%2\n%3 %4")
                         .arg(info.class_id, info.material.pdf.section(QLatin1Char('/'), -1),
                              info.teacher.nickname, begin.toString(QStringLiteral("hh:mm"))));
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
    return nullptr;
}

void WidgetClassRoom::initUsers(const ClassInfoEntity &) {}
void WidgetClassRoom::sendEnterOrLeaveMsg(bool) {}
void WidgetClassRoom::addClassMode(WidgetClassMode *) {}

bool WidgetClassRoom::changeModule(WidgetClassMode *)
{
    return false;
}

void WidgetClassRoom::setModule(enum WidgetClassMode::ClassMode) {}
void WidgetClassRoom::sendSwitchModeMsg(int) {}

WidgetClassMode *WidgetClassRoom::createPrizeModeWidget()
{
    return nullptr;
}

void WidgetClassRoom::slot_switchMode(int) {}
void WidgetClassRoom::slot_receiveSwitchClassModel(ImMsgInfo, ClassModelControl) {}
void WidgetClassRoom::slot_receiveSendSysMsg(ImMsgInfo, SendSysMsg) {}
void WidgetClassRoom::slot_receiveRefreshApp(ImMsgInfo, RefreshApp) {}
void WidgetClassRoom::slot_receiveRequestDeivceInfo(ImMsgInfo, RequestDeivceInfo) {}
void WidgetClassRoom::slot_receiveSwitchDevice(ImMsgInfo, SwitchDevice) {}
void WidgetClassRoom::slot_receiveSetVideoProfileMsg(ImMsgInfo, SetVideoProfileMsg) {}
void WidgetClassRoom::slot_videoChannelSomeOneJoined(QString) {}
void WidgetClassRoom::slot_videoChannelSomeOneLeaved(QString) {}

void WidgetClassRoom::slot_closeWidget()
{
    close();
}

void WidgetClassRoom::slot_review_closed()
{
    close();
}

void WidgetClassRoom::closeEvent(QCloseEvent *event)
{
    // A second close of the same window announces nothing again.
    if (!m_closed) {
        m_closed = true;
        Singleton<AppContext>::instance()->resetClassInfo();
        SignalQueueMgr::instance()->signalClassroomClose();
    }
    BaseMainWidget::closeEvent(event);
}
