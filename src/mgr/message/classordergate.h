#ifndef CLASSORDERGATE_H
#define CLASSORDERGATE_H

#include "mgr/message/classroompayloads.h"
#include "mgr/message/controlmessages.h"
#include "mgr/message/immsginfo.h"
#include "mgr/message/orderratelimiter.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class SendAndReceiveMsg;

// The one gate between the message layer and whatever obeys an order. The
// receivers of orders connect to its signals, never to the layer's: each
// message is judged once, here, and reaches them only when admitted.
//
// - The teacher's orders (401-405, 410, and the video control the teacher
//   sends, 501 types 1 to 5) are obeyed only from the roster's teacher and
//   only for the own class.
// - The back end's orders (601-606, the device answer 604 aside) never come
//   from a participant: one sent in the name of a roster uid is dropped.
//   The back end is whoever else sends them, so each kind is also limited
//   per sender, and for all senders together, for the orders addressed to
//   this user.
//
// Whatever is dropped leaves one log line and one action record.
//
// An envelope's sender is not authenticated by the protocol: whoever can
// publish on the class's topics in the teacher's uid is the teacher here.
class ClassOrderGate : public QObject
{
    Q_OBJECT

public:
    // Remembered senders per kind of back-end order.
    static constexpr int kMaxSenders = 64;
    // All senders together may send this many times what one may.
    static constexpr int kAllSendersFactor = 4;

    explicit ClassOrderGate(QObject *parent = nullptr);
    ~ClassOrderGate() override;

    static ClassOrderGate *instance();

    // The class whose orders are obeyed: its id, its teacher and everybody
    // on its roster (the teacher included). Until it is set, and after
    // clearClass(), no teacher's order is obeyed.
    void setClass(const QString &classId, const QString &teacherUid, const QStringList &rosterUids);
    void clearClass();
    QString classId() const { return m_classId; }
    // For tests: every sender's allowance starts afresh.
    void forgetAllowancesForTests() { m_limiters.clear(); }

    // Whether the class control type (401-405, 410, 501) from sender about
    // classId is obeyed.
    bool admitTeacherOrder(int type, const QString &sender, const QString &classId);
    // Whether the back end's order type (601-603, 605, 606) from sender,
    // addressed to addressee, is obeyed. An order for somebody else passes
    // without spending anything: its receivers set it aside themselves.
    bool admitBackEndOrder(int type, const QString &sender, const QString &addressee);

    // The allowance of one kind of back-end order from one sender: burst at
    // once, one more every intervalMs.
    struct Limit
    {
        int burst;
        int intervalMs;
    };
    static Limit limitOf(int type);

signals:
    void signal_receiveSharingDesktopMsg(ImMsgInfo info, SharingDesktop data);
    void signal_receiveFunctionControl(ImMsgInfo info, FunctionControl data);
    void signal_receiveEncourageMsg(ImMsgInfo info, EncourageMessage data);
    void signal_receiveHighlightPerson(ImMsgInfo info, HighlightPerson data);
    void signal_receiveAwardControl(ImMsgInfo info, PrizeModelAwardControl protocol);
    void signal_receiveClassModelControl(ImMsgInfo info, ClassModelControl protocol);
    // Types 1 to 5 only; a student's readiness (6) goes to the teacher's
    // player straight from the layer.
    void signal_receiveVideoControl(ImMsgInfo info, ProtocolVideoControl protocol);
    void signal_receiveSendSysMsg(ImMsgInfo info, SendSysMsg protocol);
    void signal_receiveRefreshApp(ImMsgInfo info, RefreshApp protocol);
    void signal_receiveRequestDeivceInfo(ImMsgInfo info, RequestDeivceInfo protocol);
    void signal_receiveSwitchDevice(ImMsgInfo info, SwitchDevice protocol);
    void signal_receiveSetVideoProfileMsg(ImMsgInfo info, SetVideoProfileMsg protocol);

private:
    struct Limiters
    {
        std::shared_ptr<OrderRateLimiter> perSender;
        std::shared_ptr<OrderRateLimiter> allSenders;
    };

    void connectLayer();
    // Passes the layer's received signal on as admitted when the order is
    // obeyed; T carries "classid" (teacher) or the addressee "uid" (back end).
    template<typename T>
    void relayTeacherOrder(int type, void (SendAndReceiveMsg::*received)(ImMsgInfo, T),
                           void (ClassOrderGate::*admitted)(ImMsgInfo, T));
    template<typename T>
    void relayBackEndOrder(int type, void (SendAndReceiveMsg::*received)(ImMsgInfo, T),
                           void (ClassOrderGate::*admitted)(ImMsgInfo, T));
    void drop(int type, const QString &sender, const char *reason);
    Limiters &limitersOf(int type);

    QString m_classId;
    QString m_teacherUid;
    QSet<QString> m_roster;
    // Kept across classes: a re-entry or a restart ordered again and again
    // must not start each class with a fresh allowance.
    QHash<int, Limiters> m_limiters;
    QElapsedTimer m_clock;
};

#endif // CLASSORDERGATE_H
