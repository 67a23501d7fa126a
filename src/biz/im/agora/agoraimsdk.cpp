#include "agoraimsdk.h"

#include "biz/im/agora/agoraimchannelmgr.h"
#include "biz/im/agora/agoraloginmgr.h"
#include "biz/im/agora/agoramsgmgr.h"
#include "mgr/singleton.h"
#include "utility/serverconfig.h"

#include <QByteArray>
#include <QDebug>
#include <QMetaType>

#include <cstring>

namespace {

// The service application id: 32 lowercase hexadecimal characters.
const char kAppId[] = "3b7e0c5d9a2f48e6b1c4d7f0a5e9c2b8";

// A library text: null stays null; otherwise read up to the first NUL byte
// but never past the given length. The copy outlives the library's buffer.
QString libraryText(const char *text, size_t size)
{
    if (!text)
        return QString();
    const size_t length = strnlen(text, size);
    return QString::fromUtf8(text, int(qMin<size_t>(length, size_t(INT_MAX))));
}

} // namespace

AgoraNetworkThread::AgoraNetworkThread(AgoraIMSdk *owner)
    : m_owner(owner)
{
    setObjectName(QStringLiteral("AgoraNetworkThread"));
}

void AgoraNetworkThread::run()
{
    m_owner->runNetworkThread();
}

AgoraIMSdk::AgoraIMSdk(QObject *parent)
    : SingletonMgrBase(parent)
    , m_networkThread(this)
{
    // Signals with uint32_t arguments are queued from the library's thread.
    qRegisterMetaType<uint32_t>("uint32_t");
}

AgoraIMSdk::~AgoraIMSdk()
{
    if (m_agoraAPI)
        m_agoraAPI->stopLoop();
    m_networkThread.wait();
    if (m_agoraAPI) {
        m_agoraAPI->release();
        m_agoraAPI = nullptr;
    }
}

AgoraIMSdk *AgoraIMSdk::instance()
{
    return Singleton<AgoraIMSdk>::instance();
}

QString AgoraIMSdk::getAppId()
{
    return QString::fromLatin1(kAppId);
}

void AgoraIMSdk::init()
{
    qInfo("init");
    initAgora();
    AgoraLoginMgr::instance()->init();
    AgoraIMChannelMgr::instance()->init();
    AgoraMsgMgr::instance()->init();
}

void AgoraIMSdk::initAgora()
{
    qWarning("initAgora");
    if (m_agoraAPI) {
        qCritical("agoraAPI is already inited");
        return;
    }
    const QByteArray appId = getAppId().toUtf8();
    m_agoraAPI = getAgoraSDKInstanceWin(appId.constData(), 32);
    if (!m_agoraAPI) {
        qFatal("getAgoraSDKInstanceWin failed");
        return;
    }
    // Where our library meets its peers: a deployment setting.
    const ServerConfig::MqttBroker server = ServerConfig::current().signallingServer();
    const QByteArray host = server.host.toUtf8();
    m_agoraAPI->setServerAddress(host.constData(), size_t(host.size()), server.port);
    m_agoraAPI->registerCallback(this);
    m_networkThread.start();
    qWarning("initAgora ok");
}

void AgoraIMSdk::runNetworkThread()
{
    qWarning("begin runAgoraNetworkThread");
    if (m_agoraAPI)
        m_agoraAPI->runLoop();
    qWarning("end runAgoraNetworkThread");
}

void AgoraIMSdk::onReconnecting(uint32_t nretry)
{
    qCritical("onReconnecting nretry:%u", nretry);
    emit signal_onReconnecting(nretry);
}

void AgoraIMSdk::onReconnected(int fd)
{
    qWarning("onReconnected fd:%d", fd);
    emit signal_onReconnected(fd);
}

void AgoraIMSdk::onLoginSuccess(uint32_t uid, int fd)
{
    qWarning("onLoginSuccess uid:%u, fd:%d", uid, fd);
    emit signal_onLoginSuccess(uid, fd);
}

void AgoraIMSdk::onLogout(int ecode)
{
    qWarning("onLogout ecode:%d", ecode);
    emit signal_onLogout(ecode);
}

void AgoraIMSdk::onLoginFailed(int ecode)
{
    qCritical("onLoginFailed ecode:%d", ecode);
    emit signal_onLoginFailed(ecode);
}

void AgoraIMSdk::onChannelJoined(const char *channelId, size_t channelIdSize)
{
    if (!channelId) {
        qCritical("channleId is null");
        return;
    }
    const QString channel = libraryText(channelId, channelIdSize);
    qInfo("onChannelJoined, channelId:%s", qUtf8Printable(channel));
    emit signal_onChannelJoined(channel);
}

void AgoraIMSdk::onChannelJoinFailed(const char *channelId, size_t channelIdSize, int ecode)
{
    if (!channelId) {
        qCritical("channleId is null");
        return;
    }
    const QString channel = libraryText(channelId, channelIdSize);
    qInfo("onChannelJoinFailed, channelId:%s, ecode:%d", qUtf8Printable(channel), ecode);
    emit signal_onChannelJoinFailed(channel, ecode);
}

void AgoraIMSdk::onChannelLeaved(const char *channelId, size_t channelIdSize, int ecode)
{
    if (!channelId) {
        qCritical("channleId is null");
        return;
    }
    const QString channel = libraryText(channelId, channelIdSize);
    qInfo("onChannelLeaved, channelId:%s, ecode:%d", qUtf8Printable(channel), ecode);
    emit signal_onChannelLeaved(channel, ecode);
}

void AgoraIMSdk::onChannelUserJoined(const char *account, size_t accountSize, uint32_t /*uid*/)
{
    if (!account) {
        qCritical("account is null");
        return;
    }
    const QString user = libraryText(account, accountSize);
    qInfo("onChannelUserJoined, uid:%s", qUtf8Printable(user));
    emit signal_onChannelUserJoined(user);
}

void AgoraIMSdk::onChannelUserLeaved(const char *account, size_t accountSize, uint32_t /*uid*/)
{
    if (!account) {
        qCritical("account is null");
        return;
    }
    const QString user = libraryText(account, accountSize);
    qInfo("onChannelUserLeaved, uid:%s", qUtf8Printable(user));
    emit signal_onChannelUserLeaved(user);
}

void AgoraIMSdk::onMessageSendError(const char *messageId, size_t messageIdSize, int ecode)
{
    if (!messageId)
        return;
    const QString id = libraryText(messageId, messageIdSize);
    qCritical("onMessageSendError msgID:%s, ecode:%d", qUtf8Printable(id), ecode);
    emit signal_onMessageSendError(id, ecode);
}

void AgoraIMSdk::onMessageSendSuccess(const char *messageId, size_t messageIdSize)
{
    if (!messageId)
        return;
    const QString id = libraryText(messageId, messageIdSize);
    qInfo("onMessageSendSuccess msgID:%s", qUtf8Printable(id));
    emit signal_onMessageSendSuccess(id);
}

void AgoraIMSdk::onMessageInstantReceive(const char *account, size_t accountSize, uint32_t /*uid*/,
                                         const char *msg, size_t msgSize)
{
    if (!account || !msg)
        return;
    const QString peer = libraryText(account, accountSize);
    const QString text = libraryText(msg, msgSize);
    qInfo("onMessageInstantReceive uid:%s, msg:%s", qUtf8Printable(peer), qUtf8Printable(text));
    emit signal_onMessageInstantReceive(peer, text);
}

void AgoraIMSdk::onMessageChannelReceive(const char *channelId, size_t channelIdSize,
                                         const char *account, size_t accountSize, uint32_t /*uid*/,
                                         const char *msg, size_t msgSize)
{
    if (!channelId || !account || !msg)
        return;
    const QString channel = libraryText(channelId, channelIdSize);
    const QString sender = libraryText(account, accountSize);
    const QString text = libraryText(msg, msgSize);
    qInfo("onMessageChannelReceive channelID:%s, uid:%s, msg:%s", qUtf8Printable(channel),
          qUtf8Printable(sender), qUtf8Printable(text));
    emit signal_onMessageChannelReceive(channel, sender, text);
}

void AgoraIMSdk::onLog(const char *txt, size_t txtSize)
{
    if (!txt)
        return;
    qDebug("agora im log:%s", qUtf8Printable(libraryText(txt, txtSize)));
}

void AgoraIMSdk::onError(const char *name, size_t nameSize, int ecode, const char *desc, size_t descSize)
{
    if (name && desc) {
        qCritical("agora:onError, name:%s, ecode:%d, desc:%s", qUtf8Printable(libraryText(name, nameSize)), ecode,
                  qUtf8Printable(libraryText(desc, descSize)));
    } else {
        qCritical("onError");
    }
}
