#ifndef SIGNALENGINE_H
#define SIGNALENGINE_H

#include "signalapi.h"
#include "signaleventqueue.h"
#include "signalframe.h"
#include "signallink.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace agora_sdk_win {

// The library object behind SignalApi.
//
// A session is one MQTT connection for the account: it receives the
// account's peer texts and the notices of newer logins of the same account
// (which end this one: a kick). Each joined channel has a connection of its
// own whose will announces the member gone when the process dies; members
// are retained messages, one per session, under the channel's topic.
//
// All state belongs to the thread that pumps the queue (runLoop(), or
// release() once the loop has ended); operations only post work to it.
class SignalEngine : public SignalApi, private SignalLinkListener
{
public:
    explicit SignalEngine(std::string appId);

    void registerCallback(ICallBack *callback) override;
    void setServerAddress(const char *host, size_t hostSize, int port) override;
    void loginUser(const char *appId, size_t appIdSize, const char *account, size_t accountSize,
                   const char *token, size_t tokenSize, uint32_t uid,
                   const char *deviceId, size_t deviceIdSize,
                   int reconnectWindowSeconds, int retryCount) override;
    void logoutUser() override;
    void enterChannel(const char *channelId, size_t channelIdSize) override;
    void exitChannel(const char *channelId, size_t channelIdSize) override;
    void sendPeerText(const char *account, size_t accountSize, uint32_t uid,
                      const char *msg, size_t msgSize,
                      const char *messageId, size_t messageIdSize) override;
    void sendChannelText(const char *channelId, size_t channelIdSize,
                         const char *msg, size_t msgSize,
                         const char *messageId, size_t messageIdSize) override;
    void runLoop() override;
    void stopLoop() override;
    void release() override;

    // Test hooks (SignalTestHooks).
    void simulateKick();
    void simulateConnectionLoss(bool canReconnect);
    void failNextSends(int ecode, int count);
    void holdLogins(bool hold);

private:
    ~SignalEngine() override;

    enum class State { Idle, LoggingIn, LoggedIn, Reconnecting };

    struct Channel
    {
        std::string name;
        std::unique_ptr<SignalLink> link;
        bool connecting = false;
        bool ready = false;     // subscribed and announced on this connection
        bool reported = false;  // onChannelJoined was sent
        int subscribeToken = 0;
        int announceToken = 0;
        std::map<std::string, std::set<std::string>> members; // account -> its sessions
    };

    void onLinkEvent(const SignalLinkEvent &event) override;
    void onSessionEvent(const SignalLinkEvent &event);
    void onChannelEvent(Channel &channel, const SignalLinkEvent &event);
    void onSessionMessage(const SignalLinkEvent &event);
    void onChannelMessage(Channel &channel, const SignalLinkEvent &event);
    bool finishSend(const SignalLinkEvent &event);
    // Reports the send refused when a test asked so or nobody is logged in.
    bool sendRefused(const std::string &messageId);
    void publishText(SignalLink &link, SignalFrame::Kind kind, const std::string &topic, const std::string &msg,
                     const std::string &messageId);

    void doLogin(const std::string &appId, const std::string &account, const std::string &token,
                 int windowSeconds, int retryCount);
    void doLogout();
    void doEnterChannel(const std::string &name);
    void doExitChannel(const std::string &name);
    void doSendPeer(const std::string &account, const std::string &msg, const std::string &messageId);
    void doSendChannel(const std::string &name, const std::string &msg, const std::string &messageId);

    void failLogin(int code);
    void failJoin(const std::string &name, int code);
    void kicked();
    void sessionReady();
    void channelReady(Channel &channel);
    void connectChannel(Channel &channel);
    void startReconnecting();
    void reconnectAttempt();
    void reconnectFailed();
    void checkReconnected();
    // Ends the session: channels are left (members told) and connections
    // closed. Pending sends fail.
    void endSession();
    void closeChannel(std::unique_ptr<Channel> channel);
    // Clears our member record of the channel, then closes its link.
    void closeChannelLink(Channel &channel);
    // Disconnects link once lastWordToken (a publish on it; 0: none) is
    // done; it is destroyed when the disconnect is.
    void closeLink(std::unique_ptr<SignalLink> link, int lastWordToken = 0);
    void onClosingEvent(const SignalLinkEvent &event);
    void disconnectClosing(uint64_t linkId);
    void dropLink(uint64_t linkId);
    void failPendingSends(uint64_t linkId);
    void shutdown();

    std::unique_ptr<SignalLink> newLink(const std::string &willTopic, const std::string &willPayload);
    std::unique_ptr<SignalLink> newChannelLink(const std::string &name);
    std::string memberFrame(char kind) const;
    Channel *channelOfLink(uint64_t linkId);
    std::string serverUri() const;

    // Callbacks (skipped while shutting down).
    ICallBack *callback() const;
    void log(const std::string &text);
    void reportError(const std::string &name, int code, const std::string &desc);
    void reportSendError(const std::string &messageId, int code);

    const std::string m_appId;
    std::shared_ptr<SignalEventQueue> m_queue;
    std::atomic<ICallBack *> m_callback { nullptr };

    std::mutex m_serverMutex;
    std::string m_host;
    int m_port = 0;

    State m_state = State::Idle;
    std::string m_account;
    std::string m_token;
    uint32_t m_uid = 0;
    std::string m_session;
    long long m_loginTimeMs = 0;
    std::unique_ptr<SignalLink> m_link;
    bool m_sessionConnecting = false;
    bool m_sessionReady = false;
    int m_sessionSubscribeToken = 0;
    int m_fd = 0;
    int m_linkCount = 0;
    std::map<std::string, std::unique_ptr<Channel>> m_channels;
    struct Closing
    {
        std::unique_ptr<SignalLink> link;
        int lastWordToken = 0;
        bool disconnecting = false;
    };
    std::vector<Closing> m_closing;
    std::map<std::pair<uint64_t, int>, std::string> m_pendingSends;

    std::chrono::seconds m_reconnectWindow { 30 };
    uint32_t m_retryCount = 5;
    std::chrono::steady_clock::time_point m_lostAt;
    uint32_t m_retry = 0;
    uint64_t m_retryTimer = 0;
    bool m_refuseReconnect = false;

    int m_failSendsLeft = 0;
    int m_failSendCode = 0;
    bool m_holdLogins = false;
    std::function<void()> m_heldLogin;

    std::atomic<bool> m_stopRequested { false };
    std::atomic<bool> m_silent { false };
    std::mutex m_loopMutex;
    std::condition_variable m_loopChanged;
    bool m_looping = false;
};

} // namespace agora_sdk_win

#endif // SIGNALENGINE_H
