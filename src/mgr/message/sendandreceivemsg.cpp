#include "sendandreceivemsg.h"

#include "biz/im/agora/agoraimsdk.h"
#include "biz/im/agora/agoramsgmgr.h"
#include "biz/im/agora/videosdk.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "buildconstants.h"
#include "mgr/singleton.h"
#include "platform/signalling/signalapi.h"
#include "utility/actionlog.h"
#include "utility/stringutility.h"

#include <QDebug>
#include <QHash>
#include <QUuid>

namespace {

const QHash<int, QString> &typeNames()
{
    static const QHash<int, QString> names = {
        { IM_Text, QStringLiteral("Text") },
        { IM_Picture, QStringLiteral("Picture") },
        { IM_ApplyForEnter, QStringLiteral("ApplyForEnter") },
        { IM_InviteEnter, QStringLiteral("InviteEnter") },
        { IM_EnterClass, QStringLiteral("EnterClass") },
        { IM_ExitClass, QStringLiteral("ExitClass") },
        { IM_SwitchClassAsk, QStringLiteral("SwitchClassAsk") },
        { IM_SwitchClassConFirm, QStringLiteral("SwitchClassConFirm") },
        { IM_PlayVoice, QStringLiteral("PlayVoice") },
        { IM_VideoBigShow, QStringLiteral("VideoBigShow") },
        { IM_JoinChannel, QStringLiteral("JoinChannel") },
        { IM_LeaveChannel, QStringLiteral("LeaveChannel") },
        { IM_UserJoin, QStringLiteral("UserJoin") },
        { IM_RefreshDayList, QStringLiteral("RefreshDayList") },
        { IM_WBDraw, QStringLiteral("WBDraw") },
        { IM_WBPage, QStringLiteral("WBPage") },
        { IM_WBErasure, QStringLiteral("WBErasure") },
        { IM_WBText, QStringLiteral("WBText") },
        { IM_ShareingDesktop, QStringLiteral("ShareingDesktop") },
        { IM_FunctionControl, QStringLiteral("FunctionControl") },
        { IM_Encourage, QStringLiteral("Encourage") },
        { IM_HighlightPerson, QStringLiteral("HighlightPerson") },
        { IM_Prize, QStringLiteral("Prize") },
        { IM_ClassMode, QStringLiteral("ClassMode") },
        { IM_VideoControl, QStringLiteral("VideoControl") },
        { IM_SendSysMsg, QStringLiteral("SendSysMsg") },
        { IM_RefreshApp, QStringLiteral("RefreshApp") },
        { IM_RequestDeivceInfo, QStringLiteral("RequestDeivceInfo") },
        { IM_ResponseDeviceInfo, QStringLiteral("ResponseDeviceInfo") },
        { IM_SwitchDevice, QStringLiteral("SwitchDevice") },
        { IM_SetVideoProfile, QStringLiteral("SetVideoProfile") },
        { IM_Helpdesk, QStringLiteral("Helpdesk") },
    };
    return names;
}

QString sentRecordDescription(AgoraMsgMgr *msgMgr, const QString &msgId)
{
    AgoraMsgRecord record;
    msgMgr->getMsg(msgId, record);
    return record.toString();
}

const int kMaxMqttInFlight = 4096;

const QString kSignalling = QStringLiteral("signalling");
const QString kDataStream = QStringLiteral("datastream");
const QString kMqtt = QStringLiteral("mqtt");

QString uuidOf(const QString &text)
{
    BaseMessageEntity header;
    return fromJson(text, header) ? header.uuid : QString();
}

} // namespace

SendAndReceiveMsg::SendAndReceiveMsg(QObject *parent)
    : SingletonMgrBase(parent)
{
    qRegisterMetaType<ImMsgInfo>("ImMsgInfo");
    qRegisterMetaType<TextMessage>("TextMessage");
    qRegisterMetaType<ImageMessage>("ImageMessage");
    qRegisterMetaType<DrawUnitData>("DrawUnitData");
    qRegisterMetaType<WBTextData>("WBTextData");
    qRegisterMetaType<ErasureData>("ErasureData");
    qRegisterMetaType<TurnToPageData>("TurnToPageData");
    qRegisterMetaType<SharingDesktop>("SharingDesktop");
    qRegisterMetaType<FunctionControl>("FunctionControl");
    qRegisterMetaType<EncourageMessage>("EncourageMessage");
    qRegisterMetaType<HighlightPerson>("HighlightPerson");
    qRegisterMetaType<ProtocolVideoControl>("ProtocolVideoControl");
    qRegisterMetaType<ProtocolEnterOrLeaveClass>("ProtocolEnterOrLeaveClass");
    qRegisterMetaType<PrizeModelAwardControl>("PrizeModelAwardControl");
    qRegisterMetaType<ClassModelControl>("ClassModelControl");
    qRegisterMetaType<SendSysMsg>("SendSysMsg");
    qRegisterMetaType<RefreshApp>("RefreshApp");
    qRegisterMetaType<RequestDeivceInfo>("RequestDeivceInfo");
    qRegisterMetaType<ResponseDeviceInfo>("ResponseDeviceInfo");
    qRegisterMetaType<SwitchDevice>("SwitchDevice");
    qRegisterMetaType<SetVideoProfileMsg>("SetVideoProfileMsg");
    qRegisterMetaType<HelpdeskTeacherEntiry>("HelpdeskTeacherEntiry");

    AgoraIMSdk::instance();
    MqttImSdk *mqtt = MqttImSdk::instance();
    m_msgMgr = AgoraMsgMgr::instance();

    connect(m_msgMgr, SIGNAL(signal_onMessageSendError(QString, int)), this,
            SLOT(slot_onMessageSendError(QString, int)));
    connect(m_msgMgr, SIGNAL(signal_onMessageSendSuccess(QString)), this, SLOT(slot_onMessageSendSuccess(QString)));
    connect(m_msgMgr, SIGNAL(signal_onMessageChannelReceive(QString, QString, QString)), this,
            SLOT(slot_onMessageChannelReceive(QString, QString, QString)));
    connect(m_msgMgr, &AgoraMsgMgr::signal_onMessagePeerReceive, this, &SendAndReceiveMsg::slot_onMessagePeerReceive);
    qRegisterMetaType<ReceivedEnvelope>("ReceivedEnvelope");
    connect(mqtt, &MqttImSdk::signal_envelopeArrived, this, &SendAndReceiveMsg::slot_receiveMqttEnvelope);
    connect(mqtt, &MqttImSdk::signal_sendMsgFailure, this, &SendAndReceiveMsg::slot_mqtt_sendMsgFailure);
    connect(mqtt, &MqttImSdk::signal_sendMsgSuccess, this, &SendAndReceiveMsg::slot_mqtt_sendMsgSuccess);
    // Tokens start again on a new connection.
    connect(mqtt, &MqttImSdk::signal_loginSuccess, this, [this]() { m_mqttInFlight.clear(); });
}

SendAndReceiveMsg::~SendAndReceiveMsg() = default;

SendAndReceiveMsg *SendAndReceiveMsg::instance()
{
    return Singleton<SendAndReceiveMsg>::instance();
}

QString SendAndReceiveMsg::getMsgTypeName(int type)
{
    return typeNames().value(type);
}

int SendAndReceiveMsg::getMsgSrc()
{
    switch (getClientRole()) {
    case 0:
        return 0;
    case 1:
        return 1;
    default:
        return -1;
    }
}

void SendAndReceiveMsg::setVideoLocalPlayCapability(int value)
{
    qInfo("setVideoLocalPlayCapability, value:%d", value);
    m_videoLocalPlayCapability = value;
}

void SendAndReceiveMsg::fillHeader(BaseMessageEntity &header, IMMsgType type, const QString &sender)
{
    header.sequence = m_sequence++;
    header.version = 2;
    header.type = type;
    header.src = getMsgSrc();
    header.sender = sender;
    // The braced form without its braces.
    const QString braced = QUuid::createUuid().toString();
    header.uuid = braced.size() > 1 ? braced.mid(1, braced.size() - 2) : QString();
    header.video_local_play_capability = m_videoLocalPlayCapability;
}

QString SendAndReceiveMsg::sendOnTransports(IMMsgType type, const QString &text, const QString &uuid,
                                            const QString &peerUid)
{
    // Each transport that cannot take the copy says so the same way
    // (reportTransportError), at once or when its outcome arrives; a
    // failing transport never stops the next one. Nothing is kept for
    // later: a copy refused during an outage is not sent after it.
    QString msgId;
    if (peerUid.isNull()) {
        msgId = m_msgMgr->sendChannelMsg(text);
        qInfo().noquote() << QStringLiteral("send IM msg, msgId:%1, msg:%2 ").arg(msgId, text);
    } else {
        msgId = m_msgMgr->sendPeerMsg(peerUid, text);
        qInfo().noquote() << QStringLiteral("send IM Peer msg, dstUid:%1, msgId:%2, msg:%3 ").arg(peerUid, msgId, text);
    }
    if (msgId.isEmpty())
        reportTransportError(kSignalling, uuid, agora_sdk_win::SEND_E_NOT_IN_CHANNEL);

    const int streamResult = VideoSDK::instance()->sendStreamMessage(text);
    qInfo("Send data stream msg.");
    if (streamResult != 0)
        reportTransportError(kDataStream, uuid, streamResult);

    const int token = peerUid.isNull() ? MqttImSdk::instance()->sendChannelMsg(text)
                                       : MqttImSdk::instance()->sendPeerMsg(peerUid, text);
    qInfo("Send mqtt msg.");
    if (token < 0) {
        reportTransportError(kMqtt, uuid, token);
    } else {
        // Bounded: outcomes of a connection that went away never come.
        if (m_mqttInFlight.size() >= kMaxMqttInFlight)
            m_mqttInFlight.clear();
        m_mqttInFlight.insert(token, uuid);
    }

    ActionLog::instance()->ImInfo(QStringLiteral("im_send_") + getMsgTypeName(type), text);
    return msgId;
}

void SendAndReceiveMsg::refusePeerSendWithoutAddressee(IMMsgType type)
{
    qCritical().noquote() << QStringLiteral("send IM Peer msg refused: no addressee, type:%1").arg(getMsgTypeName(type));
    ActionLog::instance()->ErrorInfo(QStringLiteral("im_send_refused"),
                                     QStringLiteral("{type:%1,reason:no peer}").arg(getMsgTypeName(type)));
}

void SendAndReceiveMsg::reportTransportError(const QString &transport, const QString &uuid, int ecode)
{
    qCritical().noquote() << QStringLiteral("send msg failed, transport:%1, uuid:%2, code:%3").arg(transport, uuid).arg(ecode);
    emit signal_onTransportSendError(transport, uuid, ecode);
}

int SendAndReceiveMsg::sendTextToMqttServer(IMMsgType type, const QString &text)
{
    const int result = MqttImSdk::instance()->sendMsgToServer(text);
    qInfo().noquote() << QStringLiteral("have sent mqtt msg. content:%1").arg(text);
    ActionLog::instance()->ImInfo(QStringLiteral("im_send_") + getMsgTypeName(type), text);
    return result;
}

void SendAndReceiveMsg::receiveMsg(const QString &text)
{
    ReceivedEnvelope envelope;
    switch (ReceivedEnvelope::read(text, envelope)) {
    case ReceivedEnvelope::TooLong:
        qCritical("drop msg: it has %d characters", int(text.size()));
        return;
    case ReceivedEnvelope::Unreadable:
        // A text that is no envelope has no trustworthy sender, type or
        // uuid: it is dropped here, after the reader's own log line.
        return;
    case ReceivedEnvelope::Own:
        qInfo("The msg that received is from current user.");
        return;
    case ReceivedEnvelope::Read:
        break;
    }
    receiveEnvelope(envelope);
}

void SendAndReceiveMsg::receiveEnvelope(const ReceivedEnvelope &envelope)
{
    const BaseMessageEntity &header = envelope.header();
    if (header.uuid.size() > kMaxUuidChars) {
        qCritical("drop msg: its uuid has %d characters", int(header.uuid.size()));
        return;
    }
    if (!header.uuid.isEmpty() && m_receivedUuids.contains(header.uuid)) {
        qWarning().noquote() << "already received msg. uuid:" + header.uuid;
        return;
    }

    ImMsgInfo info;
    info.uid = header.sender;
    if (header.video_local_play_capability == 1) {
        qInfo("entermsg:find video_local_play_capability");
        emit signal_receiveVideoLocalCapability(info);
    }

    const QString typeName = getMsgTypeName(header.type);
    // Others' texts are bounded in the logs (each record is cut there
    // too); cut here already so no huge copy is made for the line.
    const QString logged = StringUtility::cutForLog(envelope.text());
    qInfo().noquote() << "receiveMsg msgType:" + typeName + "\n json:" + logged;
    ActionLog::instance()->ImInfo(QStringLiteral("im_receive_") + typeName, logged);
    rememberUuid(header.uuid);

    dispatch(envelope, info);
}

bool SendAndReceiveMsg::rememberUuid(const QString &uuid)
{
    if (m_receivedUuids.contains(uuid))
        return false;
    m_receivedUuids.insert(uuid);
    m_uuidOrder.enqueue(uuid);
    while (m_uuidOrder.size() > kRememberedUuids)
        m_receivedUuids.remove(m_uuidOrder.dequeue());
    return true;
}

void SendAndReceiveMsg::dispatch(const ReceivedEnvelope &envelope, const ImMsgInfo &info)
{
    const int type = envelope.header().type;
    switch (type) {
    case IM_Text:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveTextMsg);
        emit signal_receiveMessageWarn();
        break;
    case IM_Picture:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveImageMsg);
        emit signal_receiveMessageWarn();
        break;
    case IM_EnterClass:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveEnterClass);
        break;
    case IM_ExitClass:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveExitClass);
        break;
    case IM_WBDraw:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveDrawMsg);
        break;
    case IM_WBPage:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveTurnToPageMsg);
        break;
    case IM_WBErasure:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveErasureMsg);
        break;
    case IM_WBText:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveWBTextMsg);
        break;
    case IM_ShareingDesktop:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveSharingDesktopMsg);
        break;
    case IM_FunctionControl:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveFunctionControl);
        break;
    case IM_Encourage:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveEncourageMsg);
        break;
    case IM_HighlightPerson:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveHighlightPerson);
        break;
    case IM_Prize:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveAwardControl);
        break;
    case IM_ClassMode:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveClassModelControl);
        break;
    case IM_VideoControl:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveVideoControl);
        break;
    case IM_SendSysMsg:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveSendSysMsg);
        break;
    case IM_RefreshApp: {
        RefreshApp data{};
        envelope.payload(data);
        qInfo().noquote() << QStringLiteral("<AppRestart> msgtype:%1 RefreshType:%2").arg(type).arg(data.type);
        emit signal_receiveRefreshApp(info, data);
        break;
    }
    case IM_RequestDeivceInfo:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveRequestDeivceInfo);
        break;
    case IM_ResponseDeviceInfo:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveResponseDeviceInfo);
        break;
    case IM_SwitchDevice:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveSwitchDevice);
        break;
    case IM_SetVideoProfile:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveSetVideoProfileMsg);
        break;
    case IM_Helpdesk:
        emitTyped(envelope, info, &SendAndReceiveMsg::signal_receiveHelpdeskTeacherMsg);
        break;
    default:
        // Presence notices and codes without a receiver end here.
        break;
    }
}

void SendAndReceiveMsg::slot_onMessageSendError(QString msgId, int ecode)
{
    AgoraMsgRecord record;
    m_msgMgr->getMsg(msgId, record);
    emit signal_onMessageSendError(msgId, ecode);
    qCritical().noquote() << QStringLiteral("send msg failed,msg:%1").arg(record.toString());
    ActionLog::instance()->ErrorInfo(QStringLiteral("sig_message_send_failure"),
                                     QStringLiteral("{code:%1, msgId:%2}").arg(ecode).arg(msgId));
    reportTransportError(kSignalling, uuidOf(record.content), ecode);
}

void SendAndReceiveMsg::slot_onMessageSendSuccess(QString msgId)
{
    const QString description = sentRecordDescription(m_msgMgr, msgId);
    m_msgMgr->removeMsg(msgId);
    qDebug().noquote() << QStringLiteral("send msg ok,msg:%1").arg(description);
    ActionLog::instance()->NormalInfo(QStringLiteral("sig_message_send_success"), QStringLiteral("{msgId:%1}").arg(msgId));
}

void SendAndReceiveMsg::slot_mqtt_sendMsgFailure(int token, int errCode, QString errMsg)
{
    qCritical().noquote() << QStringLiteral("send msg error, token:%1 errCode:%2, errMsg:%3").arg(token).arg(errCode).arg(errMsg);
    // A refusal at once (token -1) was reported where it was sent.
    const auto it = m_mqttInFlight.find(token);
    if (it == m_mqttInFlight.end())
        return;
    const QString uuid = it.value();
    m_mqttInFlight.erase(it);
    reportTransportError(kMqtt, uuid, errCode);
}

void SendAndReceiveMsg::slot_mqtt_sendMsgSuccess(int token)
{
    m_mqttInFlight.remove(token);
}

void SendAndReceiveMsg::slot_onMessageChannelReceive(QString, QString, QString msg)
{
    receiveMsg(msg);
}

void SendAndReceiveMsg::slot_onMessagePeerReceive(QString, QString msg)
{
    receiveMsg(msg);
}

void SendAndReceiveMsg::slot_receiveDataStreamMsg(QString, QString strMsg)
{
    receiveMsg(strMsg);
}

void SendAndReceiveMsg::slot_receiveMqttMsg(QString strMsg)
{
    receiveMsg(strMsg);
}

void SendAndReceiveMsg::slot_receiveMqttEnvelope(const ReceivedEnvelope &envelope)
{
    receiveEnvelope(envelope);
}
