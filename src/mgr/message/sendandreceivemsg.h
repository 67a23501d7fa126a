#ifndef SENDANDRECEIVEMSG_H
#define SENDANDRECEIVEMSG_H

#include "mgr/message/classroompayloads.h"
#include "mgr/message/controlmessages.h"
#include "mgr/message/immsginfo.h"
#include "mgr/message/immsgtype.h"
#include "mgr/message/messageentity.h"
#include "mgr/message/receivedenvelope.h"
#include "mgr/message/whiteboardpayloads.h"
#include "mgr/singletonmgrbase.h"

#include <QHash>
#include <QQueue>
#include <QSet>

class AgoraMsgMgr;

// The classroom message layer. A send wraps the payload in the envelope and
// puts the same text on the three transports in turn (signalling, the RTC
// data stream, MQTT). Every copy received on any of them is read once
// (ReceivedEnvelope), where it arrives: the MQTT client reads its copies
// itself and hands them on read, the other transports' texts are read by
// receiveMsg(). The user's own messages are dropped there; every uuid
// already seen is dropped here, and one signal per message type is
// emitted with the payload taken from the envelope read. GUI thread only.
class SendAndReceiveMsg : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit SendAndReceiveMsg(QObject *parent = nullptr);
    ~SendAndReceiveMsg() override;

    static SendAndReceiveMsg *instance();

    // Channel form, for everyone in the class. Returns the signalling
    // message id, empty when the signalling side refused; the other two
    // transports are tried all the same.
    template<typename T>
    QString sendMsg(const T &data, IMMsgType type, const QString &sender)
    {
        QString uuid;
        const QString text = buildMsgText(data, type, sender, &uuid);
        return sendOnTransports(type, text, uuid, QString());
    }

    // Peer form, addressed to one participant. The data stream has no
    // addressee: every participant in the RTC channel gets that copy too.
    // Without an addressee (a null or empty peerUid) nothing is sent: it
    // would reach the whole class. Returns empty then.
    template<typename T>
    QString sendMsg(const T &data, IMMsgType type, const QString &sender, const QString &peerUid)
    {
        if (peerUid.isEmpty()) {
            refusePeerSendWithoutAddressee(type);
            return QString();
        }
        QString uuid;
        const QString text = buildMsgText(data, type, sender, &uuid);
        return sendOnTransports(type, text, uuid, peerUid);
    }

    // Publishes on the MQTT server topic only; the publish token, or -1
    // when the MQTT library refused it.
    template<typename T>
    int sendToMqttServer(const T &data, IMMsgType type, const QString &sender)
    {
        return sendTextToMqttServer(type, buildMsgText(data, type, sender));
    }

    // The envelope text of one message. Takes the next sequence number and
    // a fresh uuid (also put in *uuid when given); the MQTT client builds its
    // own notices here too.
    template<typename T>
    QString buildMsgText(const T &data, IMMsgType type, const QString &sender, QString *uuid = nullptr)
    {
        MessageEntity<T> entity;
        fillHeader(entity, type, sender);
        entity.data = data;
        if (uuid)
            *uuid = entity.uuid;
        return toCompactJsonText(toJson(entity));
    }

    // A copy as a transport's text: read, the user's own dropped, then on
    // as receiveEnvelope.
    void receiveMsg(const QString &text);
    // A copy its transport has read and found not to be the user's own.
    void receiveEnvelope(const ReceivedEnvelope &envelope);
    void setVideoLocalPlayCapability(int value);

    // How many uuids of received messages are remembered to drop their
    // later copies: the oldest is forgotten first. Far more than a lesson
    // sends (a message a second for five hours).
    static constexpr int kRememberedUuids = 20000;
    // A longer uuid is no uuid of a client: the envelope is dropped.
    static constexpr int kMaxUuidChars = 64;
    // A longer text is dropped before it is parsed: four times what the
    // RTC data stream carries, far more than any message of a lesson.
    static constexpr int kMaxMessageChars = 256 * 1024;

    // Empty for a code that is not a message type.
    static QString getMsgTypeName(int type);
    // The envelope's "src": 0 teacher, 1 student, -1 any other role.
    static int getMsgSrc();

signals:
    void signal_receiveTextMsg(ImMsgInfo info, TextMessage drawData);
    void signal_receiveImageMsg(ImMsgInfo info, ImageMessage imageData);
    void signal_receiveDrawMsg(ImMsgInfo info, DrawUnitData drawData);
    void signal_receiveWBTextMsg(ImMsgInfo info, WBTextData drawData);
    void signal_receiveErasureMsg(ImMsgInfo info, ErasureData erasureData);
    void signal_receiveTurnToPageMsg(ImMsgInfo info, TurnToPageData pageData);
    void signal_receiveSharingDesktopMsg(ImMsgInfo info, SharingDesktop data);
    void signal_receiveFunctionControl(ImMsgInfo info, FunctionControl data);
    void signal_receiveEncourageMsg(ImMsgInfo info, EncourageMessage data);
    void signal_receiveHighlightPerson(ImMsgInfo info, HighlightPerson data);
    void signal_receiveVideoControl(ImMsgInfo info, ProtocolVideoControl protocol);
    void signal_receiveEnterClass(ImMsgInfo info, ProtocolEnterOrLeaveClass protocol);
    void signal_receiveExitClass(ImMsgInfo info, ProtocolEnterOrLeaveClass protocol);
    void signal_receiveVideoLocalCapability(ImMsgInfo info);
    void signal_receiveAwardControl(ImMsgInfo info, PrizeModelAwardControl protocol);
    void signal_receiveClassModelControl(ImMsgInfo info, ClassModelControl protocol);
    void signal_receiveSendSysMsg(ImMsgInfo info, SendSysMsg protocol);
    void signal_receiveRefreshApp(ImMsgInfo info, RefreshApp protocol);
    void signal_receiveRequestDeivceInfo(ImMsgInfo info, RequestDeivceInfo protocol);
    void signal_receiveResponseDeviceInfo(ImMsgInfo info, ResponseDeviceInfo protocol);
    void signal_receiveSwitchDevice(ImMsgInfo info, SwitchDevice protocol);
    void signal_receiveSetVideoProfileMsg(ImMsgInfo info, SetVideoProfileMsg protocol);
    void signal_receiveHelpdeskTeacherMsg(ImMsgInfo info, HelpdeskTeacherEntiry protocol);
    void signal_receiveMessageWarn();
    void signal_onMessageSendError(QString msgId, int ecode);
    // One for each transport that refused or failed to carry a message
    // (transport "signalling", "datastream" or "mqtt"); uuid is the
    // envelope's, empty when it is not known.
    void signal_onTransportSendError(QString transport, QString uuid, int ecode);

public slots:
    void slot_onMessageSendError(QString msgId, int ecode);
    void slot_onMessageSendSuccess(QString msgId);
    void slot_mqtt_sendMsgFailure(int token, int errCode, QString errMsg);
    void slot_mqtt_sendMsgSuccess(int token);
    void slot_onMessageChannelReceive(QString channelId, QString uid, QString msg);
    void slot_onMessagePeerReceive(QString peerId, QString msg);
    void slot_receiveDataStreamMsg(QString uid, QString strMsg);
    void slot_receiveMqttMsg(QString strMsg);
    void slot_receiveMqttEnvelope(const ReceivedEnvelope &envelope);

private:
    void fillHeader(BaseMessageEntity &header, IMMsgType type, const QString &sender);
    QString sendOnTransports(IMMsgType type, const QString &text, const QString &uuid, const QString &peerUid);
    void refusePeerSendWithoutAddressee(IMMsgType type);
    void reportTransportError(const QString &transport, const QString &uuid, int ecode);
    bool rememberUuid(const QString &uuid);
    int sendTextToMqttServer(IMMsgType type, const QString &text);
    void dispatch(const ReceivedEnvelope &envelope, const ImMsgInfo &info);

    // Reads payload T from the envelope and emits it with info.
    template<typename T>
    void emitTyped(const ReceivedEnvelope &envelope, const ImMsgInfo &info,
                   void (SendAndReceiveMsg::*signal)(ImMsgInfo, T))
    {
        T data{};
        envelope.payload(data);
        emit(this->*signal)(info, data);
    }

    AgoraMsgMgr *m_msgMgr = nullptr;
    int m_sequence = 0;
    QSet<QString> m_receivedUuids;
    QQueue<QString> m_uuidOrder; // oldest first
    // The envelope uuid of each MQTT publish still in flight.
    QHash<int, QString> m_mqttInFlight;
    int m_videoLocalPlayCapability = 1;
};

#endif // SENDANDRECEIVEMSG_H
