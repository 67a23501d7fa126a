#include "signallingclient.h"

#include <QByteArray>

namespace {

QString textOf(const char *data, size_t size)
{
    return QString::fromUtf8(data, int(size));
}

} // namespace

SignallingClient::SignallingClient(const QString &host, quint16 port, const QString &appId)
    : m_appId(appId)
{
    const QByteArray id = m_appId.toUtf8();
    m_api = getAgoraSDKInstanceWin(id.constData(), id.size());
    const QByteArray hostText = host.toUtf8();
    m_api->setServerAddress(hostText.constData(), size_t(hostText.size()), port);
    m_api->registerCallback(this);
    m_loop = std::thread([api = m_api]() { api->runLoop(); });
}

SignallingClient::~SignallingClient()
{
    m_api->release();
    m_loop.join();
}

QString SignallingClient::defaultAppId()
{
    return QStringLiteral("0123456789abcdef0123456789abcdef");
}

void SignallingClient::login(const QString &account, int reconnectWindowSeconds, int retryCount)
{
    const QByteArray id = appId().toUtf8();
    const QByteArray name = account.toUtf8();
    const QByteArray token("token");
    m_api->loginUser(id.constData(), size_t(id.size()), name.constData(), size_t(name.size()), token.constData(),
                     size_t(token.size()), 0, "", 0, reconnectWindowSeconds, retryCount);
}

void SignallingClient::logout()
{
    m_api->logoutUser();
}

void SignallingClient::enterChannel(const QString &channel)
{
    const QByteArray name = channel.toUtf8();
    m_api->enterChannel(name.constData(), size_t(name.size()));
}

void SignallingClient::exitChannel(const QString &channel)
{
    const QByteArray name = channel.toUtf8();
    m_api->exitChannel(name.constData(), size_t(name.size()));
}

void SignallingClient::sendChannelText(const QString &channel, const QString &text, const QString &messageId)
{
    const QByteArray name = channel.toUtf8();
    const QByteArray msg = text.toUtf8();
    const QByteArray id = messageId.toUtf8();
    m_api->sendChannelText(name.constData(), size_t(name.size()), msg.constData(), size_t(msg.size()),
                           id.constData(), size_t(id.size()));
}

void SignallingClient::sendPeerText(const QString &account, const QString &text, const QString &messageId)
{
    const QByteArray name = account.toUtf8();
    const QByteArray msg = text.toUtf8();
    const QByteArray id = messageId.toUtf8();
    m_api->sendPeerText(name.constData(), size_t(name.size()), 0, msg.constData(), size_t(msg.size()),
                        id.constData(), size_t(id.size()));
}

QStringList SignallingClient::events() const
{
    // A deep copy: the list and its texts share nothing with the library's
    // thread, which goes on appending.
    std::lock_guard<std::mutex> lock(m_mutex);
    QStringList copy;
    copy.reserve(m_events.size());
    for (const QString &event : m_events)
        copy.append(QString(event.constData(), event.size()));
    return copy;
}

QStringList SignallingClient::eventsStartingWith(const QString &prefix) const
{
    QStringList matching;
    for (const QString &event : events()) {
        if (event.startsWith(prefix))
            matching.append(event);
    }
    return matching;
}

void SignallingClient::clearEvents()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear();
}

void SignallingClient::setEventSink(std::function<void(const QString &)> sink)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sink = std::move(sink);
}

void SignallingClient::record(const QString &event)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.append(event);
    if (m_sink)
        m_sink(event);
}

void SignallingClient::onReconnecting(uint32_t nretry)
{
    record(QStringLiteral("reconnecting %1").arg(nretry));
}

void SignallingClient::onReconnected(int)
{
    record(QStringLiteral("reconnected"));
}

void SignallingClient::onLoginSuccess(uint32_t uid, int)
{
    record(QStringLiteral("loginSuccess %1").arg(uid));
}

void SignallingClient::onLogout(int ecode)
{
    record(QStringLiteral("logout %1").arg(ecode));
}

void SignallingClient::onLoginFailed(int ecode)
{
    record(QStringLiteral("loginFailed %1").arg(ecode));
}

void SignallingClient::onChannelJoined(const char *channelId, size_t channelIdSize)
{
    record(QStringLiteral("joined ") + textOf(channelId, channelIdSize));
}

void SignallingClient::onChannelJoinFailed(const char *channelId, size_t channelIdSize, int ecode)
{
    record(QStringLiteral("joinFailed %1 %2").arg(textOf(channelId, channelIdSize)).arg(ecode));
}

void SignallingClient::onChannelLeaved(const char *channelId, size_t channelIdSize, int ecode)
{
    record(QStringLiteral("leaved %1 %2").arg(textOf(channelId, channelIdSize)).arg(ecode));
}

void SignallingClient::onChannelUserJoined(const char *account, size_t accountSize, uint32_t uid)
{
    record(QStringLiteral("userJoined %1 %2").arg(textOf(account, accountSize)).arg(uid));
}

void SignallingClient::onChannelUserLeaved(const char *account, size_t accountSize, uint32_t uid)
{
    record(QStringLiteral("userLeft %1 %2").arg(textOf(account, accountSize)).arg(uid));
}

void SignallingClient::onMessageSendError(const char *messageId, size_t messageIdSize, int ecode)
{
    record(QStringLiteral("sendError %1 %2").arg(textOf(messageId, messageIdSize)).arg(ecode));
}

void SignallingClient::onMessageSendSuccess(const char *messageId, size_t messageIdSize)
{
    record(QStringLiteral("sendOk ") + textOf(messageId, messageIdSize));
}

void SignallingClient::onMessageInstantReceive(const char *account, size_t accountSize, uint32_t,
                                               const char *msg, size_t msgSize)
{
    record(QStringLiteral("peerText %1 %2").arg(textOf(account, accountSize), textOf(msg, msgSize)));
}

void SignallingClient::onMessageChannelReceive(const char *channelId, size_t channelIdSize,
                                               const char *account, size_t accountSize, uint32_t,
                                               const char *msg, size_t msgSize)
{
    record(QStringLiteral("channelText %1 %2 %3")
               .arg(textOf(channelId, channelIdSize), textOf(account, accountSize), textOf(msg, msgSize)));
}

void SignallingClient::onError(const char *name, size_t nameSize, int ecode, const char *, size_t)
{
    record(QStringLiteral("error %1 %2").arg(textOf(name, nameSize)).arg(ecode));
}
