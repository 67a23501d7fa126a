#include "classordergate.h"

#include "mgr/globalcurrentuser.h"
#include "mgr/message/immsgtype.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"

#include <QDebug>

namespace {

QString ownUid()
{
    return Singleton<GlobalCurrentUser>::instance()->getUid();
}

// Senders and class ids come from others: only so much of them is logged.
QString logged(const QString &text)
{
    return text.left(64);
}

} // namespace

ClassOrderGate::ClassOrderGate(QObject *parent)
    : QObject(parent)
{
    m_clock.start();
    connectLayer();
}

ClassOrderGate::~ClassOrderGate() = default;

ClassOrderGate *ClassOrderGate::instance()
{
    return Singleton<ClassOrderGate>::instance();
}

ClassOrderGate::Limit ClassOrderGate::limitOf(int type)
{
    switch (type) {
    case IM_SendSysMsg:
        return { 3, 1000 };
    case IM_RefreshApp:
        // A re-entry or a restart takes the student out of class for a while.
        return { 1, 60000 };
    case IM_RequestDeivceInfo:
        return { 1, 1000 };
    case IM_SwitchDevice:
        // Speaker, microphone and camera may be switched in one go.
        return { 3, 1000 };
    case IM_SetVideoProfile:
        return { 2, 1000 };
    default:
        return { 1, 1000 };
    }
}

void ClassOrderGate::setClass(const QString &classId, const QString &teacherUid, const QStringList &rosterUids)
{
    m_classId = classId;
    m_teacherUid = teacherUid;
    m_roster = QSet<QString>(rosterUids.cbegin(), rosterUids.cend());
    if (!teacherUid.isEmpty())
        m_roster.insert(teacherUid);
    qInfo("class order gate: class %s, teacher %s, %d on the roster", qUtf8Printable(logged(classId)),
          qUtf8Printable(logged(teacherUid)), int(m_roster.size()));
}

void ClassOrderGate::clearClass()
{
    m_classId.clear();
    m_teacherUid.clear();
    m_roster.clear();
}

void ClassOrderGate::drop(int type, const QString &sender, const char *reason)
{
    qWarning("class order dropped: type %d from %s: %s", type, qUtf8Printable(logged(sender)), reason);
    ActionLog::instance()->ErrorInfo(QStringLiteral("im_order_dropped"),
                                     QStringLiteral("{type:%1,sender:%2,reason:%3}")
                                         .arg(type)
                                         .arg(logged(sender), QLatin1String(reason)));
}

bool ClassOrderGate::admitTeacherOrder(int type, const QString &sender, const QString &classId)
{
    if (m_teacherUid.isEmpty()) {
        drop(type, sender, "no class");
        return false;
    }
    if (sender != m_teacherUid) {
        drop(type, sender, "not the teacher");
        return false;
    }
    if (classId != m_classId) {
        drop(type, sender, "another class");
        return false;
    }
    return true;
}

ClassOrderGate::Limiters &ClassOrderGate::limitersOf(int type)
{
    Limiters &limiters = m_limiters[type];
    if (!limiters.perSender) {
        const Limit limit = limitOf(type);
        limiters.perSender = std::make_shared<OrderRateLimiter>(limit.burst, limit.intervalMs, kMaxSenders);
        limiters.allSenders = std::make_shared<OrderRateLimiter>(limit.burst * kAllSendersFactor,
                                                                 qMax(1, limit.intervalMs / kAllSendersFactor), 1);
    }
    return limiters;
}

bool ClassOrderGate::admitBackEndOrder(int type, const QString &sender, const QString &addressee)
{
    if (m_roster.contains(sender)) {
        drop(type, sender, "a participant is not the back end");
        return false;
    }
    if (addressee != ownUid())
        return true;
    Limiters &limiters = limitersOf(type);
    const qint64 now = m_clock.elapsed();
    if (!limiters.perSender->admit(sender, now)) {
        drop(type, sender, "too often from this sender, or from too many senders");
        return false;
    }
    if (!limiters.allSenders->admit(QString(), now)) {
        drop(type, sender, "too often");
        return false;
    }
    return true;
}

template<typename T>
void ClassOrderGate::relayTeacherOrder(int type, void (SendAndReceiveMsg::*received)(ImMsgInfo, T),
                                       void (ClassOrderGate::*admitted)(ImMsgInfo, T))
{
    connect(SendAndReceiveMsg::instance(), received, this, [this, type, admitted](ImMsgInfo info, T data) {
        if (admitTeacherOrder(type, info.uid, data.classid))
            emit(this->*admitted)(info, data);
    });
}

template<typename T>
void ClassOrderGate::relayBackEndOrder(int type, void (SendAndReceiveMsg::*received)(ImMsgInfo, T),
                                       void (ClassOrderGate::*admitted)(ImMsgInfo, T))
{
    connect(SendAndReceiveMsg::instance(), received, this, [this, type, admitted](ImMsgInfo info, T data) {
        if (admitBackEndOrder(type, info.uid, data.uid))
            emit(this->*admitted)(info, data);
    });
}

void ClassOrderGate::connectLayer()
{
    using Layer = SendAndReceiveMsg;
    relayTeacherOrder(IM_ShareingDesktop, &Layer::signal_receiveSharingDesktopMsg, &ClassOrderGate::signal_receiveSharingDesktopMsg);
    relayTeacherOrder(IM_FunctionControl, &Layer::signal_receiveFunctionControl, &ClassOrderGate::signal_receiveFunctionControl);
    relayTeacherOrder(IM_Encourage, &Layer::signal_receiveEncourageMsg, &ClassOrderGate::signal_receiveEncourageMsg);
    relayTeacherOrder(IM_HighlightPerson, &Layer::signal_receiveHighlightPerson, &ClassOrderGate::signal_receiveHighlightPerson);
    relayTeacherOrder(IM_Prize, &Layer::signal_receiveAwardControl, &ClassOrderGate::signal_receiveAwardControl);
    relayTeacherOrder(IM_ClassMode, &Layer::signal_receiveClassModelControl, &ClassOrderGate::signal_receiveClassModelControl);
    connect(SendAndReceiveMsg::instance(), &Layer::signal_receiveVideoControl, this, [this](ImMsgInfo info, ProtocolVideoControl data) {
        // A student's readiness is no order: the teacher's player takes it
        // from the layer.
        if (data.type == 6)
            return;
        if (data.type < 1 || data.type > 5) {
            drop(IM_VideoControl, info.uid, "no video control type");
            return;
        }
        if (admitTeacherOrder(IM_VideoControl, info.uid, data.classid))
            emit signal_receiveVideoControl(info, data);
    });
    relayBackEndOrder(IM_SendSysMsg, &Layer::signal_receiveSendSysMsg, &ClassOrderGate::signal_receiveSendSysMsg);
    relayBackEndOrder(IM_RefreshApp, &Layer::signal_receiveRefreshApp, &ClassOrderGate::signal_receiveRefreshApp);
    relayBackEndOrder(IM_RequestDeivceInfo, &Layer::signal_receiveRequestDeivceInfo, &ClassOrderGate::signal_receiveRequestDeivceInfo);
    relayBackEndOrder(IM_SwitchDevice, &Layer::signal_receiveSwitchDevice, &ClassOrderGate::signal_receiveSwitchDevice);
    relayBackEndOrder(IM_SetVideoProfile, &Layer::signal_receiveSetVideoProfileMsg, &ClassOrderGate::signal_receiveSetVideoProfileMsg);
}
