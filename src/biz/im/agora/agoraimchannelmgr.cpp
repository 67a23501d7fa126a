#include "agoraimchannelmgr.h"

#include "biz/im/agora/agoraimsdk.h"
#include "mgr/singleton.h"
#include "platform/signalling/signalapi.h"
#include "utility/actionlog.h"

#include <QByteArray>
#include <QDebug>

AgoraIMChannelMgr::AgoraIMChannelMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

AgoraIMChannelMgr::~AgoraIMChannelMgr() = default;

AgoraIMChannelMgr *AgoraIMChannelMgr::instance()
{
    return Singleton<AgoraIMChannelMgr>::instance();
}

void AgoraIMChannelMgr::init()
{
    qInfo("im:init");
    AgoraIMSdk *sdk = AgoraIMSdk::instance();
    const auto type = Qt::ConnectionType(Qt::AutoConnection | Qt::UniqueConnection);
    connect(sdk, &AgoraIMSdk::signal_onChannelJoined, this, &AgoraIMChannelMgr::slot_onChannelJoined, type);
    connect(sdk, &AgoraIMSdk::signal_onChannelJoinFailed, this, &AgoraIMChannelMgr::slot_onChannelJoinFailed, type);
    connect(sdk, &AgoraIMSdk::signal_onChannelLeaved, this, &AgoraIMChannelMgr::slot_onChannelLeaved, type);
    connect(sdk, &AgoraIMSdk::signal_onChannelUserJoined, this, &AgoraIMChannelMgr::slot_onChannelUserJoined, type);
    connect(sdk, &AgoraIMSdk::signal_onChannelUserLeaved, this, &AgoraIMChannelMgr::slot_onChannelUserLeaved, type);
}

void AgoraIMChannelMgr::joinChannel(const QString &channelId)
{
    qInfo("im:joinChannel id:%s", qUtf8Printable(channelId));
    ActionLog::instance()->NormalInfo(QStringLiteral("sig_joinchannel"), QStringLiteral("{channelid:%1}").arg(channelId));
    agora_sdk_win::SignalApi *api = AgoraIMSdk::instance()->getAgoraAPI();
    if (!api) {
        qCritical("im:joinChannel without the signalling library");
        return;
    }
    const QByteArray name = channelId.toUtf8();
    api->enterChannel(name.constData(), size_t(name.size()));
}

void AgoraIMChannelMgr::leaveChannel()
{
    qInfo("im:leaveChannel");
    ActionLog::instance()->NormalInfo(QStringLiteral("sig_exitchannel"), QStringLiteral("{channelid:%1}").arg(m_channelId));
    if (m_channelId.isEmpty()) {
        qWarning("already not in channel");
        return;
    }
    if (agora_sdk_win::SignalApi *api = AgoraIMSdk::instance()->getAgoraAPI()) {
        const QByteArray name = m_channelId.toUtf8();
        api->exitChannel(name.constData(), size_t(name.size()));
    }
    m_channelId.clear();
}

void AgoraIMChannelMgr::slot_onChannelJoined(QString channelId_)
{
    qInfo("im:slot_onChannelJoined channleId:%s", qUtf8Printable(channelId_));
    ActionLog::instance()->NormalInfo(QStringLiteral("sig_joinchannel_success"),
                                      QStringLiteral("{channelid:%1}").arg(channelId_));
    m_channelId = channelId_;
    emit signal_onChannelJoined(m_channelId);
}

void AgoraIMChannelMgr::slot_onChannelJoinFailed(QString channelId, int ecode)
{
    qInfo("im:slot_onChannelJoinFailed channleId:%s,ecode:%d", qUtf8Printable(channelId), ecode);
    ActionLog::instance()->ErrorInfo(QStringLiteral("sig_joinchannel_failure"),
                                     QStringLiteral("{channelid:%1, code:%2}").arg(channelId).arg(ecode));
    emit signal_onChannelJoinFailed(channelId, ecode);
}

void AgoraIMChannelMgr::slot_onChannelLeaved(QString channelId, int ecode)
{
    qInfo("im:slot_onChannelLeaved channleId:%s,ecode:%d", qUtf8Printable(channelId), ecode);
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_ChannelLeaved"),
                                      QStringLiteral("channelId=") + channelId + QStringLiteral(",code=")
                                          + QString::number(ecode));
    emit signal_onChannelLeaved(channelId, ecode);
}

void AgoraIMChannelMgr::slot_onChannelUserJoined(QString uid)
{
    qInfo("im:slot_onChannelUserJoined uid:%s", qUtf8Printable(uid));
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_ChannelUserJoined"), QStringLiteral("uid=") + uid);
    emit signal_onChannelUserJoined(uid);
}

void AgoraIMChannelMgr::slot_onChannelUserLeaved(QString uid)
{
    qInfo("im:slot_onChannelUserLeaved uid:%s", qUtf8Printable(uid));
    ActionLog::instance()->NormalInfo(QStringLiteral("rtc_ChannelUserJLeaved"), QStringLiteral("uid=") + uid);
    emit signal_onChannelUserLeaved(uid);
}
