#include "agoramsgmgr.h"

#include "biz/im/agora/agoraimchannelmgr.h"
#include "biz/im/agora/agoraimsdk.h"
#include "mgr/singleton.h"
#include "platform/signalling/signalapi.h"

#include <QByteArray>
#include <QDateTime>
#include <QDebug>
#include <QUuid>

QString AgoraMsgRecord::toString() const
{
    return QStringLiteral("id:%1, peerId:%2, content:%3, timestamp:%4")
        .arg(id, peerId, content, QString::number(timestamp));
}

AgoraMsgMgr::AgoraMsgMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

AgoraMsgMgr::~AgoraMsgMgr() = default;

AgoraMsgMgr *AgoraMsgMgr::instance()
{
    return Singleton<AgoraMsgMgr>::instance();
}

void AgoraMsgMgr::init()
{
    AgoraIMSdk *sdk = AgoraIMSdk::instance();
    const auto type = Qt::ConnectionType(Qt::AutoConnection | Qt::UniqueConnection);
    connect(sdk, &AgoraIMSdk::signal_onMessageSendError, this, &AgoraMsgMgr::slot_onMessageSendError, type);
    connect(sdk, &AgoraIMSdk::signal_onMessageSendSuccess, this, &AgoraMsgMgr::slot_onMessageSendSuccess, type);
    connect(sdk, &AgoraIMSdk::signal_onMessageChannelReceive, this, &AgoraMsgMgr::slot_onMessageChannelReceive,
            type);
    connect(sdk, &AgoraIMSdk::signal_onMessageInstantReceive, this, &AgoraMsgMgr::slot_onMessagePeerReceive, type);
}

AgoraMsgRecord AgoraMsgMgr::newRecord(const QString &peerId, const QString &msg)
{
    AgoraMsgRecord record;
    record.id = QUuid::createUuid().toString();
    record.content = msg;
    record.peerId = peerId;
    record.timestamp = QDateTime::currentMSecsSinceEpoch();
    m_msgMap.insert(record.id, record);
    return record;
}

QString AgoraMsgMgr::sendChannelMsg(const QString &msg)
{
    AgoraIMChannelMgr *channels = AgoraIMChannelMgr::instance();
    if (!channels->isInChannel()) {
        qCritical("not in channel");
        return QString();
    }
    const AgoraMsgRecord record = newRecord(channels->getChannelId(), msg);
    if (agora_sdk_win::SignalApi *api = AgoraIMSdk::instance()->getAgoraAPI()) {
        const QByteArray channel = record.peerId.toUtf8();
        const QByteArray text = msg.toUtf8();
        const QByteArray id = record.id.toUtf8();
        api->sendChannelText(channel.constData(), size_t(channel.size()), text.constData(), size_t(text.size()),
                             id.constData(), size_t(id.size()));
    }
    qInfo("send channel msg:%s", qUtf8Printable(record.toString()));
    return record.id;
}

QString AgoraMsgMgr::sendPeerMsg(const QString &peerId, const QString &msg)
{
    const AgoraMsgRecord record = newRecord(peerId, msg);
    if (agora_sdk_win::SignalApi *api = AgoraIMSdk::instance()->getAgoraAPI()) {
        const QByteArray peer = peerId.toUtf8();
        const QByteArray text = msg.toUtf8();
        const QByteArray id = record.id.toUtf8();
        api->sendPeerText(peer.constData(), size_t(peer.size()), 0, text.constData(), size_t(text.size()),
                          id.constData(), size_t(id.size()));
    }
    qInfo("sendPeerMsg:%s", qUtf8Printable(record.toString()));
    return record.id;
}

bool AgoraMsgMgr::resendChannelMsg(QString msgId)
{
    AgoraIMChannelMgr *channels = AgoraIMChannelMgr::instance();
    if (!channels->isInChannel()) {
        qCritical("not in channel");
        return false;
    }
    const QString channelId = channels->getChannelId();
    const auto it = m_msgMap.constFind(msgId);
    if (it == m_msgMap.constEnd()) {
        qCritical("no such msgId:%s", qUtf8Printable(msgId));
        return false;
    }
    if (agora_sdk_win::SignalApi *api = AgoraIMSdk::instance()->getAgoraAPI()) {
        const QByteArray channel = channelId.toUtf8();
        const QByteArray text = it->content.toUtf8();
        const QByteArray id = it->id.toUtf8();
        api->sendChannelText(channel.constData(), size_t(channel.size()), text.constData(), size_t(text.size()),
                             id.constData(), size_t(id.size()));
    }
    return true;
}

bool AgoraMsgMgr::getMsg(const QString &msgId, AgoraMsgRecord &record) const
{
    const auto it = m_msgMap.constFind(msgId);
    if (it == m_msgMap.constEnd())
        return false;
    record = *it;
    return true;
}

void AgoraMsgMgr::removeMsg(const QString &msgId)
{
    m_msgMap.remove(msgId);
}

void AgoraMsgMgr::slot_onMessageSendError(QString msgId, int ecode)
{
    emit signal_onMessageSendError(msgId, ecode);
}

void AgoraMsgMgr::slot_onMessageSendSuccess(QString msgId)
{
    emit signal_onMessageSendSuccess(msgId);
}

void AgoraMsgMgr::slot_onMessageChannelReceive(QString channelId, QString uid, QString msg)
{
    emit signal_onMessageChannelReceive(channelId, uid, msg);
}

void AgoraMsgMgr::slot_onMessagePeerReceive(QString peerId, QString msg)
{
    qInfo("slot_onMessagePeerReceive, peerId:%s, msg:%s", qUtf8Printable(peerId), qUtf8Printable(msg));
    emit signal_onMessagePeerReceive(peerId, msg);
}
