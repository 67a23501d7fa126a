#ifndef SIGNALLINGCLIENT_H
#define SIGNALLINGCLIENT_H

#include "platform/signalling/signalapi.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>
#include <thread>

// One signalling library object with its loop on a thread of its own, as a
// second participant in tests. Every callback becomes one line in events(),
// e.g. "loginSuccess 20001", "channelText 10001 30001 hello",
// "sendError m1 402", "userJoined 30001 30001" (account, uid).
class SignallingClient : public agora_sdk_win::ICallBack
{
public:
    // Points the library at host:port and starts its loop. Only objects of
    // one application id meet.
    SignallingClient(const QString &host, quint16 port, const QString &appId = defaultAppId());
    // Releases the library object (which ends its loop) and joins the thread.
    ~SignallingClient() override;

    SignallingClient(const SignallingClient &) = delete;
    SignallingClient &operator=(const SignallingClient &) = delete;

    static QString defaultAppId();
    QString appId() const { return m_appId; }

    agora_sdk_win::SignalApi *api() const { return m_api; }

    void login(const QString &account, int reconnectWindowSeconds = 30, int retryCount = 5);
    void logout();
    void enterChannel(const QString &channel);
    void exitChannel(const QString &channel);
    void sendChannelText(const QString &channel, const QString &text, const QString &messageId);
    void sendPeerText(const QString &account, const QString &text, const QString &messageId);

    QStringList events() const;
    bool hasEvent(const QString &event) const { return events().contains(event); }
    // Events starting with prefix.
    QStringList eventsStartingWith(const QString &prefix) const;
    void clearEvents();
    // Also hands every event to sink, on the library's thread.
    void setEventSink(std::function<void(const QString &)> sink);

    void onReconnecting(uint32_t nretry) override;
    void onReconnected(int fd) override;
    void onLoginSuccess(uint32_t uid, int fd) override;
    void onLogout(int ecode) override;
    void onLoginFailed(int ecode) override;
    void onChannelJoined(const char *channelId, size_t channelIdSize) override;
    void onChannelJoinFailed(const char *channelId, size_t channelIdSize, int ecode) override;
    void onChannelLeaved(const char *channelId, size_t channelIdSize, int ecode) override;
    void onChannelUserJoined(const char *account, size_t accountSize, uint32_t uid) override;
    void onChannelUserLeaved(const char *account, size_t accountSize, uint32_t uid) override;
    void onMessageSendError(const char *messageId, size_t messageIdSize, int ecode) override;
    void onMessageSendSuccess(const char *messageId, size_t messageIdSize) override;
    void onMessageInstantReceive(const char *account, size_t accountSize, uint32_t uid,
                                 const char *msg, size_t msgSize) override;
    void onMessageChannelReceive(const char *channelId, size_t channelIdSize,
                                 const char *account, size_t accountSize, uint32_t uid,
                                 const char *msg, size_t msgSize) override;
    void onError(const char *name, size_t nameSize, int ecode, const char *desc, size_t descSize) override;

private:
    void record(const QString &event);

    QString m_appId;
    agora_sdk_win::SignalApi *m_api = nullptr;
    std::thread m_loop;
    mutable std::mutex m_mutex;
    QStringList m_events;
    std::function<void(const QString &)> m_sink;
};

#endif // SIGNALLINGCLIENT_H
