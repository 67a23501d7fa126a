#include "signalengine.h"

#include "signalframe.h"
#include "signaltesthooks.h"

#include <algorithm>
#include <random>

namespace agora_sdk_win {

namespace {

using namespace std::chrono;

const int kConnectTimeoutSeconds = 10;
const int kKeepAliveSeconds = 10;
const milliseconds kLastWordWait(1000);
const milliseconds kFirstRetryPause(500);
const milliseconds kMaxRetryPause(5000);
const milliseconds kShutdownWait(2000);

// The MQTT library's and the broker's refusals of a user name or password.
const int kBadUserNameOrPassword = 4;
const int kNotAuthorized = 5;

std::string text(const char *data, size_t size)
{
    return data ? std::string(data, size) : std::string();
}

std::string newSessionId()
{
    static std::mutex mutex;
    static std::mt19937_64 generator { std::random_device {}() };
    std::lock_guard<std::mutex> lock(mutex);
    static const char digits[] = "0123456789abcdef";
    std::string id;
    uint64_t value = generator();
    for (int i = 0; i < 16; ++i) {
        id.push_back(digits[value & 0xf]);
        value >>= 4;
    }
    return id;
}

long long nowMs()
{
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

bool isAppId(const std::string &id)
{
    return id.size() == 32 && id.find_first_not_of("0123456789abcdef") == std::string::npos;
}

} // namespace

SignalEngine::SignalEngine(std::string appId)
    : m_appId(std::move(appId))
    , m_queue(std::make_shared<SignalEventQueue>())
{
}

SignalEngine::~SignalEngine() = default;

// --- operations: queue the work -------------------------------------------

void SignalEngine::registerCallback(ICallBack *callback)
{
    m_callback.store(callback);
}

void SignalEngine::setServerAddress(const char *host, size_t hostSize, int port)
{
    std::lock_guard<std::mutex> lock(m_serverMutex);
    m_host = text(host, hostSize);
    m_port = port;
}

void SignalEngine::loginUser(const char *appId, size_t appIdSize, const char *account, size_t accountSize,
                             const char *token, size_t tokenSize, uint32_t /*uid*/,
                             const char * /*deviceId*/, size_t /*deviceIdSize*/,
                             int reconnectWindowSeconds, int retryCount)
{
    m_queue->post([this, appId = text(appId, appIdSize), account = text(account, accountSize),
                   token = text(token, tokenSize), reconnectWindowSeconds, retryCount]() {
        doLogin(appId, account, token, reconnectWindowSeconds, retryCount);
    });
}

void SignalEngine::logoutUser()
{
    m_queue->post([this]() { doLogout(); });
}

void SignalEngine::enterChannel(const char *channelId, size_t channelIdSize)
{
    m_queue->post([this, name = text(channelId, channelIdSize)]() { doEnterChannel(name); });
}

void SignalEngine::exitChannel(const char *channelId, size_t channelIdSize)
{
    m_queue->post([this, name = text(channelId, channelIdSize)]() { doExitChannel(name); });
}

void SignalEngine::sendPeerText(const char *account, size_t accountSize, uint32_t /*uid*/,
                                const char *msg, size_t msgSize,
                                const char *messageId, size_t messageIdSize)
{
    m_queue->post([this, account = text(account, accountSize), msg = text(msg, msgSize),
                   id = text(messageId, messageIdSize)]() { doSendPeer(account, msg, id); });
}

void SignalEngine::sendChannelText(const char *channelId, size_t channelIdSize,
                                   const char *msg, size_t msgSize,
                                   const char *messageId, size_t messageIdSize)
{
    m_queue->post([this, name = text(channelId, channelIdSize), msg = text(msg, msgSize),
                   id = text(messageId, messageIdSize)]() { doSendChannel(name, msg, id); });
}

void SignalEngine::simulateKick()
{
    m_queue->post([this]() {
        if (m_state == State::Idle)
            return;
        log("the service ended the session");
        kicked();
    });
}

void SignalEngine::simulateConnectionLoss(bool canReconnect)
{
    m_queue->post([this, canReconnect]() {
        if (m_state != State::LoggedIn)
            return;
        log("the network dropped every connection");
        m_refuseReconnect = !canReconnect;
        // Fresh clients take the place of the dropped ones, as after a
        // broken network. A drop that heals goes quietly, so the members
        // never see us leave; one that does not heal clears our member
        // records, as the broker's wills would once the keep-alive lapsed:
        // otherwise the others would see us present for ever.
        failPendingSends(m_link->id());
        closeLink(std::move(m_link));
        m_link = newLink(std::string(), std::string());
        m_sessionConnecting = false;
        m_sessionReady = false;
        for (auto &entry : m_channels) {
            Channel &channel = *entry.second;
            failPendingSends(channel.link->id());
            if (canReconnect)
                closeLink(std::move(channel.link));
            else
                closeChannelLink(channel);
            channel.link = newChannelLink(channel.name);
            channel.ready = false;
            channel.connecting = false;
        }
        startReconnecting();
    });
}

void SignalEngine::holdLogins(bool hold)
{
    m_queue->post([this, hold]() {
        m_holdLogins = hold;
        if (hold || !m_heldLogin)
            return;
        std::function<void()> login = std::move(m_heldLogin);
        m_heldLogin = nullptr;
        login();
    });
}

void SignalEngine::failNextSends(int ecode, int count)
{
    m_queue->post([this, ecode, count]() {
        m_failSendCode = ecode;
        m_failSendsLeft = count;
    });
}

// --- the loop ------------------------------------------------------------

void SignalEngine::runLoop()
{
    {
        std::lock_guard<std::mutex> lock(m_loopMutex);
        if (m_looping || m_stopRequested)
            return;
        m_looping = true;
    }
    log("network loop started");
    // Sleeps until there is work, a timer is due or stopLoop() wakes it:
    // an idle client is never woken by this thread.
    while (!m_stopRequested)
        m_queue->runDue(SignalEventQueue::Clock::time_point::max());
    shutdown();
    // Told under the lock: release() may delete this object as soon as it
    // sees the flag, and the condition variable with it.
    std::lock_guard<std::mutex> lock(m_loopMutex);
    m_looping = false;
    m_loopChanged.notify_all();
}

void SignalEngine::stopLoop()
{
    m_stopRequested = true;
    m_queue->wake();
}

void SignalEngine::release()
{
    stopLoop();
    {
        std::unique_lock<std::mutex> lock(m_loopMutex);
        m_loopChanged.wait(lock, [this]() { return !m_looping; });
    }
    // A loop that never ran leaves nothing open; one that ran has shut down.
    shutdown();
    m_callback.store(nullptr);
    delete this;
}

void SignalEngine::shutdown()
{
    m_silent = true;
    if (m_state != State::Idle)
        endSession();
    const auto deadline = steady_clock::now() + kShutdownWait;
    while (!m_closing.empty() && steady_clock::now() < deadline)
        m_queue->runDue(deadline);
    m_closing.clear();
    m_pendingSends.clear();
}

// --- session ---------------------------------------------------------------

std::string SignalEngine::serverUri() const
{
    return "tcp://" + m_host + ":" + std::to_string(m_port);
}

std::unique_ptr<SignalLink> SignalEngine::newLink(const std::string &willTopic, const std::string &willPayload)
{
    SignalLink::Options options;
    {
        std::lock_guard<std::mutex> lock(m_serverMutex);
        options.serverUri = serverUri();
    }
    // Never the id of a connection still around: the broker would end it.
    options.clientId = "ls-" + m_session + "-" + std::to_string(++m_linkCount);
    options.userName = m_account;
    options.password = m_token;
    options.willTopic = willTopic;
    options.willPayload = willPayload;
    options.willRetained = true;
    SignalLinkListener *listener = this;
    return std::make_unique<SignalLink>(m_queue, listener, options);
}

std::unique_ptr<SignalLink> SignalEngine::newChannelLink(const std::string &name)
{
    return newLink(SignalTopics::channelMember(m_appId, name, m_account, m_session),
                   memberFrame(SignalFrame::Gone));
}

void SignalEngine::doLogin(const std::string &appId, const std::string &account, const std::string &token,
                           int windowSeconds, int retryCount)
{
    if (m_stopRequested)
        return;
    if (m_holdLogins) {
        m_heldLogin = [this, appId, account, token, windowSeconds, retryCount]() {
            doLogin(appId, account, token, windowSeconds, retryCount);
        };
        return;
    }
    log("login " + account);
    if (appId != m_appId)
        return failLogin(LOGIN_E_APPID);
    if (!SignalTopics::isTopicLevel(account)) {
        log("login refused: the account is not a topic level");
        return failLogin(LOGIN_E_ACCOUNT);
    }
    {
        std::lock_guard<std::mutex> lock(m_serverMutex);
        if (m_host.empty() || m_port <= 0 || m_port > 65535)
            return failLogin(LOGIN_E_NO_SERVER);
    }
    if (m_state != State::Idle) {
        if (account == m_account) {
            // Already there, or on the way: the outcome follows by itself.
            if (m_state == State::LoggedIn) {
                if (ICallBack *cb = callback())
                    cb->onLoginSuccess(m_uid, m_fd);
            }
            return;
        }
        log("another account logs in: ending the session of " + m_account);
        endSession();
    }

    m_account = account;
    m_token = token;
    m_uid = accountUid(account);
    m_session = newSessionId();
    m_loginTimeMs = nowMs();
    m_reconnectWindow = seconds(std::max(windowSeconds, 0));
    m_retryCount = uint32_t(std::max(retryCount, 1));
    m_refuseReconnect = false;
    m_state = State::LoggingIn;
    m_sessionReady = false;
    m_link = newLink(std::string(), std::string());
    m_sessionConnecting = true;
    const int rc = m_link->connect(kConnectTimeoutSeconds, kKeepAliveSeconds);
    if (rc != 0) {
        log("cannot start connecting: " + std::to_string(rc));
        failLogin(LOGIN_E_NET);
    }
}

void SignalEngine::failLogin(int code)
{
    if (m_state == State::LoggingIn) {
        closeLink(std::move(m_link));
        m_state = State::Idle;
        m_sessionConnecting = false;
    }
    if (ICallBack *cb = callback())
        cb->onLoginFailed(code);
}

void SignalEngine::doLogout()
{
    if (m_state == State::Idle) {
        log("logout: not logged in");
        return;
    }
    endSession();
    if (ICallBack *cb = callback())
        cb->onLogout(LOGOUT_E_USER);
}

void SignalEngine::kicked()
{
    endSession();
    if (ICallBack *cb = callback())
        cb->onLogout(LOGOUT_E_KICKED);
}

void SignalEngine::endSession()
{
    if (m_retryTimer) {
        m_queue->cancel(m_retryTimer);
        m_retryTimer = 0;
    }
    while (!m_channels.empty()) {
        std::unique_ptr<Channel> channel = std::move(m_channels.begin()->second);
        m_channels.erase(m_channels.begin());
        closeChannel(std::move(channel));
    }
    closeLink(std::move(m_link));
    m_state = State::Idle;
    m_sessionConnecting = false;
    m_sessionReady = false;
}

void SignalEngine::onLinkEvent(const SignalLinkEvent &event)
{
    if (event.type == SignalLinkEvent::RequestDone && finishSend(event))
        return;
    if (m_link && event.linkId == m_link->id()) {
        onSessionEvent(event);
        return;
    }
    if (Channel *channel = channelOfLink(event.linkId)) {
        onChannelEvent(*channel, event);
        return;
    }
    // Anything else belongs to a connection on its way out, or given up.
    onClosingEvent(event);
}

void SignalEngine::onSessionEvent(const SignalLinkEvent &event)
{
    switch (event.type) {
    case SignalLinkEvent::Connected: {
        m_sessionConnecting = false;
        m_link->setConnected(true);
        const int rc = m_link->subscribe({ SignalTopics::inbox(m_appId, m_account),
                                           SignalTopics::logins(m_appId, m_account) },
                                         &m_sessionSubscribeToken);
        if (rc != 0) {
            if (m_state == State::LoggingIn)
                failLogin(LOGIN_E_NET);
            else
                reconnectFailed();
        }
        break;
    }
    case SignalLinkEvent::ConnectFailed:
        m_sessionConnecting = false;
        log("connecting failed: " + std::to_string(event.code) + " " + event.text);
        if (m_state == State::LoggingIn) {
            const bool refused = event.code == kBadUserNameOrPassword || event.code == kNotAuthorized;
            failLogin(refused ? LOGIN_E_REJECTED : LOGIN_E_NET);
        } else if (m_state == State::Reconnecting) {
            reconnectFailed();
        }
        break;
    case SignalLinkEvent::Lost:
        log("connection lost: " + event.text);
        m_link->setConnected(false);
        m_sessionReady = false;
        failPendingSends(m_link->id());
        if (m_state == State::LoggingIn)
            failLogin(LOGIN_E_NET);
        else if (m_state == State::LoggedIn)
            startReconnecting();
        else if (m_state == State::Reconnecting)
            reconnectFailed();
        break;
    case SignalLinkEvent::RequestDone:
        if (event.token != m_sessionSubscribeToken)
            break;
        if (!event.ok) {
            if (m_state == State::LoggingIn)
                failLogin(LOGIN_E_NET);
            else
                reconnectFailed();
            break;
        }
        sessionReady();
        break;
    case SignalLinkEvent::Message:
        onSessionMessage(event);
        break;
    case SignalLinkEvent::Closed:
        break;
    }
}

void SignalEngine::sessionReady()
{
    m_sessionReady = true;
    // Tell older sessions of this account that they are over. Retained, so
    // one that is away right now learns it when it comes back.
    SignalFrame notice;
    notice.kind = SignalFrame::Login;
    notice.fields = { m_session, std::to_string(m_loginTimeMs) };
    m_link->publish(SignalTopics::logins(m_appId, m_account), notice.encode(), true, nullptr);

    if (m_state == State::LoggingIn) {
        m_state = State::LoggedIn;
        ++m_fd;
        log("logged in as " + m_account);
        if (ICallBack *cb = callback())
            cb->onLoginSuccess(m_uid, m_fd);
    } else {
        checkReconnected();
    }
}

void SignalEngine::onSessionMessage(const SignalLinkEvent &event)
{
    SignalFrame frame;
    if (!SignalFrame::decode(event.payload.data(), event.payload.size(), &frame)) {
        if (!event.payload.empty())
            reportError("frame", 1, "unreadable message on " + event.topic);
        return;
    }
    if (event.topic == SignalTopics::logins(m_appId, m_account) && frame.kind == SignalFrame::Login) {
        const std::string &session = frame.fields[0];
        long long time = 0;
        try {
            time = std::stoll(frame.fields[1]);
        } catch (...) {
            return;
        }
        const bool newer = time > m_loginTimeMs || (time == m_loginTimeMs && session > m_session);
        if (session != m_session && newer && m_state != State::LoggingIn) {
            log("the account logged in elsewhere");
            kicked();
        }
        return;
    }
    if (event.topic == SignalTopics::inbox(m_appId, m_account) && frame.kind == SignalFrame::PeerText) {
        const std::string &account = frame.fields[0];
        const std::string &msg = frame.fields[3];
        if (ICallBack *cb = callback())
            cb->onMessageInstantReceive(account.c_str(), account.size(), accountUid(account), msg.c_str(),
                                        msg.size());
    }
}

// --- channels --------------------------------------------------------------

std::string SignalEngine::memberFrame(char kind) const
{
    SignalFrame frame;
    frame.kind = static_cast<SignalFrame::Kind>(kind);
    frame.fields = { m_account, std::to_string(m_uid), m_session };
    return frame.encode();
}

SignalEngine::Channel *SignalEngine::channelOfLink(uint64_t linkId)
{
    for (auto &entry : m_channels) {
        if (entry.second->link && entry.second->link->id() == linkId)
            return entry.second.get();
    }
    return nullptr;
}

void SignalEngine::doEnterChannel(const std::string &name)
{
    log("enter channel " + name);
    if (m_state == State::Idle || m_state == State::LoggingIn)
        return failJoin(name, CHANNEL_E_NOT_LOGGED_IN);
    if (!SignalTopics::isTopicLevel(name)) {
        log("enter channel refused: the name is not a topic level");
        return failJoin(name, CHANNEL_E_NAME);
    }
    const auto it = m_channels.find(name);
    if (it != m_channels.end()) {
        // Joined already: say so again; joining: the outcome follows.
        if (it->second->reported) {
            if (ICallBack *cb = callback())
                cb->onChannelJoined(name.c_str(), name.size());
        }
        return;
    }
    auto channel = std::make_unique<Channel>();
    channel->name = name;
    channel->link = newChannelLink(name);
    Channel &added = *channel;
    m_channels[name] = std::move(channel);
    connectChannel(added);
}

void SignalEngine::connectChannel(Channel &channel)
{
    channel.connecting = true;
    const int rc = channel.link->connect(kConnectTimeoutSeconds, kKeepAliveSeconds);
    if (rc == 0)
        return;
    channel.connecting = false;
    if (m_state == State::Reconnecting)
        reconnectFailed();
    else if (!channel.reported)
        failJoin(channel.name, CHANNEL_E_NET);
}

void SignalEngine::failJoin(const std::string &name, int code)
{
    const auto it = m_channels.find(name);
    if (it != m_channels.end() && !it->second->reported) {
        std::unique_ptr<Channel> channel = std::move(it->second);
        m_channels.erase(it);
        closeLink(std::move(channel->link));
    }
    if (ICallBack *cb = callback())
        cb->onChannelJoinFailed(name.c_str(), name.size(), code);
}

void SignalEngine::onChannelEvent(Channel &channel, const SignalLinkEvent &event)
{
    switch (event.type) {
    case SignalLinkEvent::Connected: {
        channel.connecting = false;
        channel.link->setConnected(true);
        const int rc = channel.link->subscribe({ SignalTopics::channelText(m_appId, channel.name),
                                                 SignalTopics::channelMembers(m_appId, channel.name) },
                                               &channel.subscribeToken);
        if (rc != 0) {
            if (m_state == State::Reconnecting)
                reconnectFailed();
            else if (!channel.reported)
                failJoin(channel.name, CHANNEL_E_NET);
        }
        break;
    }
    case SignalLinkEvent::ConnectFailed:
        channel.connecting = false;
        if (m_state == State::Reconnecting)
            reconnectFailed();
        else if (!channel.reported)
            failJoin(channel.name, CHANNEL_E_NET);
        else
            startReconnecting();
        break;
    case SignalLinkEvent::Lost:
        log("channel connection lost: " + event.text);
        channel.link->setConnected(false);
        channel.ready = false;
        failPendingSends(channel.link->id());
        if (m_state == State::LoggedIn)
            startReconnecting();
        else if (m_state == State::Reconnecting)
            reconnectFailed();
        break;
    case SignalLinkEvent::RequestDone:
        if (event.token == channel.subscribeToken) {
            if (!event.ok) {
                if (m_state == State::Reconnecting)
                    reconnectFailed();
                else if (!channel.reported)
                    failJoin(channel.name, CHANNEL_E_NET);
                break;
            }
            // Present from now on, for as long as this connection lives.
            channel.link->publish(SignalTopics::channelMember(m_appId, channel.name, m_account, m_session),
                                  memberFrame(SignalFrame::Present), true, &channel.announceToken);
        } else if (event.token == channel.announceToken) {
            if (!event.ok) {
                if (m_state == State::Reconnecting)
                    reconnectFailed();
                else if (!channel.reported)
                    failJoin(channel.name, CHANNEL_E_NET);
                break;
            }
            channelReady(channel);
        }
        break;
    case SignalLinkEvent::Message:
        onChannelMessage(channel, event);
        break;
    case SignalLinkEvent::Closed:
        break;
    }
}

void SignalEngine::channelReady(Channel &channel)
{
    channel.ready = true;
    if (!channel.reported) {
        channel.reported = true;
        const std::string name = channel.name;
        log("joined channel " + name);
        if (ICallBack *cb = callback()) {
            cb->onChannelJoined(name.c_str(), name.size());
            // Whoever was there before us.
            const auto it = m_channels.find(name);
            if (it == m_channels.end())
                return;
            std::vector<std::string> accounts;
            for (const auto &member : it->second->members)
                accounts.push_back(member.first);
            for (const std::string &account : accounts) {
                if (ICallBack *current = callback())
                    current->onChannelUserJoined(account.c_str(), account.size(), accountUid(account));
            }
        }
    }
    checkReconnected();
}

void SignalEngine::onChannelMessage(Channel &channel, const SignalLinkEvent &event)
{
    std::string account;
    std::string session;
    if (SignalTopics::parseChannelMember(event.topic, &account, &session)) {
        if (session == m_session)
            return;
        SignalFrame frame;
        const bool empty = event.payload.empty();
        if (!empty && !SignalFrame::decode(event.payload.data(), event.payload.size(), &frame)) {
            reportError("frame", 1, "unreadable member record on " + event.topic);
            return;
        }
        const std::string name = channel.name;
        if (empty || frame.kind == SignalFrame::Gone) {
            // A will left behind: clear it, the session id is never reused.
            if (!empty && event.retained && channel.link->isConnected())
                channel.link->publish(event.topic, std::string(), true, nullptr);
            auto it = channel.members.find(account);
            if (it == channel.members.end() || it->second.erase(session) == 0)
                return;
            if (!it->second.empty())
                return;
            channel.members.erase(it);
            if (channel.reported) {
                if (ICallBack *cb = callback())
                    cb->onChannelUserLeaved(account.c_str(), account.size(), accountUid(account));
            }
            return;
        }
        if (frame.kind != SignalFrame::Present)
            return;
        std::set<std::string> &sessions = channel.members[account];
        const bool first = sessions.empty();
        if (!sessions.insert(session).second || !first)
            return;
        if (channel.reported) {
            if (ICallBack *cb = callback())
                cb->onChannelUserJoined(account.c_str(), account.size(), accountUid(account));
        }
        return;
    }

    if (event.topic != SignalTopics::channelText(m_appId, channel.name))
        return;
    SignalFrame frame;
    if (!SignalFrame::decode(event.payload.data(), event.payload.size(), &frame)
        || frame.kind != SignalFrame::ChannelText) {
        reportError("frame", 1, "unreadable channel text on " + event.topic);
        return;
    }
    if (frame.fields[2] == m_session)
        return; // our own
    const std::string name = channel.name;
    const std::string &sender = frame.fields[0];
    const std::string &msg = frame.fields[3];
    if (ICallBack *cb = callback())
        cb->onMessageChannelReceive(name.c_str(), name.size(), sender.c_str(), sender.size(), accountUid(sender),
                                    msg.c_str(), msg.size());
}

void SignalEngine::doExitChannel(const std::string &name)
{
    log("exit channel " + name);
    const auto it = m_channels.find(name);
    if (it == m_channels.end()) {
        if (ICallBack *cb = callback())
            cb->onChannelLeaved(name.c_str(), name.size(), CHANNEL_E_NOT_IN_CHANNEL);
        return;
    }
    std::unique_ptr<Channel> channel = std::move(it->second);
    m_channels.erase(it);
    closeChannel(std::move(channel));
    if (ICallBack *cb = callback())
        cb->onChannelLeaved(name.c_str(), name.size(), 0);
}

void SignalEngine::closeChannel(std::unique_ptr<Channel> channel)
{
    closeChannelLink(*channel);
}

void SignalEngine::closeChannelLink(Channel &channel)
{
    int token = 0;
    if (channel.link && channel.link->isConnected()) {
        // Gone for good: clear our member record, the others see us leave.
        if (channel.link->publish(SignalTopics::channelMember(m_appId, channel.name, m_account, m_session),
                                  std::string(), true, &token)
            != 0) {
            token = 0;
        }
    }
    closeLink(std::move(channel.link), token);
}

// --- sending -----------------------------------------------------------------

bool SignalEngine::sendRefused(const std::string &messageId)
{
    if (m_failSendsLeft > 0) {
        --m_failSendsLeft;
        reportSendError(messageId, m_failSendCode);
        return true;
    }
    if (m_state == State::Idle || m_state == State::LoggingIn) {
        reportSendError(messageId, SEND_E_NOT_LOGGED_IN);
        return true;
    }
    return false;
}

void SignalEngine::publishText(SignalLink &link, SignalFrame::Kind kind, const std::string &topic,
                               const std::string &msg, const std::string &messageId)
{
    if (!link.isConnected())
        return reportSendError(messageId, SEND_E_NET);
    SignalFrame frame;
    frame.kind = kind;
    frame.fields = { m_account, std::to_string(m_uid), m_session, msg };
    int token = 0;
    if (link.publish(topic, frame.encode(), false, &token) != 0)
        return reportSendError(messageId, SEND_E_NET);
    m_pendingSends[{ link.id(), token }] = messageId;
}

void SignalEngine::doSendPeer(const std::string &account, const std::string &msg, const std::string &messageId)
{
    if (sendRefused(messageId))
        return;
    if (!SignalTopics::isTopicLevel(account)) {
        log("peer text refused: the account is not a topic level");
        return reportSendError(messageId, SEND_E_PEER);
    }
    publishText(*m_link, SignalFrame::PeerText, SignalTopics::inbox(m_appId, account), msg, messageId);
}

void SignalEngine::doSendChannel(const std::string &name, const std::string &msg, const std::string &messageId)
{
    if (sendRefused(messageId))
        return;
    const auto it = m_channels.find(name);
    if (it == m_channels.end() || !it->second->reported)
        return reportSendError(messageId, SEND_E_NOT_IN_CHANNEL);
    publishText(*it->second->link, SignalFrame::ChannelText, SignalTopics::channelText(m_appId, name), msg,
                messageId);
}

bool SignalEngine::finishSend(const SignalLinkEvent &event)
{
    const auto it = m_pendingSends.find({ event.linkId, event.token });
    if (it == m_pendingSends.end())
        return false;
    const std::string messageId = it->second;
    m_pendingSends.erase(it);
    if (!event.ok) {
        reportSendError(messageId, SEND_E_NET);
    } else if (ICallBack *cb = callback()) {
        cb->onMessageSendSuccess(messageId.c_str(), messageId.size());
    }
    return true;
}

void SignalEngine::failPendingSends(uint64_t linkId)
{
    std::vector<std::string> failed;
    for (auto it = m_pendingSends.begin(); it != m_pendingSends.end();) {
        if (it->first.first == linkId) {
            failed.push_back(it->second);
            it = m_pendingSends.erase(it);
        } else {
            ++it;
        }
    }
    for (const std::string &messageId : failed)
        reportSendError(messageId, SEND_E_NET);
}

// --- reconnecting ------------------------------------------------------------

void SignalEngine::startReconnecting()
{
    if (m_state != State::LoggedIn)
        return;
    log("reconnecting");
    m_state = State::Reconnecting;
    m_lostAt = steady_clock::now();
    m_retry = 0;
    if (!m_retryTimer)
        m_retryTimer = m_queue->postAfter(milliseconds(0), [this]() {
            m_retryTimer = 0;
            reconnectAttempt();
        });
}

void SignalEngine::reconnectAttempt()
{
    if (m_state != State::Reconnecting)
        return;
    ++m_retry;
    log("reconnect attempt " + std::to_string(m_retry));
    if (ICallBack *cb = callback())
        cb->onReconnecting(m_retry);
    if (m_state != State::Reconnecting)
        return;
    if (m_refuseReconnect) {
        // Nothing gets through: give up at once rather than at the window's end.
        endSession();
        if (ICallBack *cb = callback())
            cb->onLogout(LOGOUT_E_NET);
        return;
    }
    if (!m_link->isConnected() && !m_sessionConnecting) {
        m_sessionConnecting = true;
        if (m_link->connect(kConnectTimeoutSeconds, kKeepAliveSeconds) != 0) {
            m_sessionConnecting = false;
            return reconnectFailed();
        }
    }
    for (auto &entry : m_channels) {
        Channel &channel = *entry.second;
        if (!channel.link->isConnected() && !channel.connecting) {
            connectChannel(channel);
            if (m_state != State::Reconnecting)
                return;
        }
    }
    checkReconnected();
}

void SignalEngine::reconnectFailed()
{
    if (m_state != State::Reconnecting || m_retryTimer)
        return;
    const auto now = steady_clock::now();
    const auto giveUpAt = m_lostAt + m_reconnectWindow;
    if (now >= giveUpAt || m_retry >= m_retryCount) {
        log("reconnecting given up");
        endSession();
        if (ICallBack *cb = callback())
            cb->onLogout(LOGOUT_E_NET);
        return;
    }
    milliseconds pause = kFirstRetryPause;
    for (uint32_t i = 1; i < m_retry && pause < kMaxRetryPause; ++i)
        pause *= 2;
    pause = std::min<milliseconds>(pause, kMaxRetryPause);
    pause = std::min<milliseconds>(pause, duration_cast<milliseconds>(giveUpAt - now) + milliseconds(1));
    m_retryTimer = m_queue->postAfter(pause, [this]() {
        m_retryTimer = 0;
        reconnectAttempt();
    });
}

void SignalEngine::checkReconnected()
{
    if (m_state != State::Reconnecting || !m_sessionReady)
        return;
    for (const auto &entry : m_channels) {
        if (!entry.second->ready)
            return;
    }
    m_state = State::LoggedIn;
    ++m_fd;
    log("reconnected");
    if (ICallBack *cb = callback())
        cb->onReconnected(m_fd);
}

// --- connections ---------------------------------------------------------------

void SignalEngine::closeLink(std::unique_ptr<SignalLink> link, int lastWordToken)
{
    if (!link)
        return;
    if (!link->isConnected()) {
        failPendingSends(link->id());
        return;
    }
    Closing closing;
    closing.lastWordToken = lastWordToken;
    closing.link = std::move(link);
    const uint64_t id = closing.link->id();
    m_closing.push_back(std::move(closing));
    if (lastWordToken == 0) {
        disconnectClosing(id);
        return;
    }
    // Not for ever: a broker that does not answer gets no more time.
    m_queue->postAfter(kLastWordWait, [this, id]() { disconnectClosing(id); });
}

void SignalEngine::onClosingEvent(const SignalLinkEvent &event)
{
    for (Closing &closing : m_closing) {
        if (closing.link->id() != event.linkId)
            continue;
        if (event.type == SignalLinkEvent::Closed) {
            dropLink(event.linkId);
        } else if (event.type == SignalLinkEvent::RequestDone && closing.lastWordToken != 0
                   && event.token == closing.lastWordToken) {
            disconnectClosing(event.linkId);
        } else if (event.type == SignalLinkEvent::Lost) {
            dropLink(event.linkId);
        }
        return;
    }
}

void SignalEngine::disconnectClosing(uint64_t linkId)
{
    for (Closing &closing : m_closing) {
        if (closing.link->id() != linkId || closing.disconnecting)
            continue;
        closing.disconnecting = true;
        if (closing.link->disconnect(0) != 0)
            dropLink(linkId);
        return;
    }
}

void SignalEngine::dropLink(uint64_t linkId)
{
    for (auto it = m_closing.begin(); it != m_closing.end(); ++it) {
        if (it->link->id() == linkId) {
            m_closing.erase(it);
            failPendingSends(linkId);
            return;
        }
    }
}

// --- callbacks -------------------------------------------------------------------

ICallBack *SignalEngine::callback() const
{
    return m_silent ? nullptr : m_callback.load();
}

void SignalEngine::log(const std::string &line)
{
    if (ICallBack *cb = callback())
        cb->onLog(line.c_str(), line.size());
}

void SignalEngine::reportError(const std::string &name, int code, const std::string &desc)
{
    if (ICallBack *cb = callback())
        cb->onError(name.c_str(), name.size(), code, desc.c_str(), desc.size());
}

void SignalEngine::reportSendError(const std::string &messageId, int code)
{
    if (ICallBack *cb = callback())
        cb->onMessageSendError(messageId.c_str(), messageId.size(), code);
}

// --- test hooks ----------------------------------------------------------------

bool SignalTestHooks::kick(SignalApi *api)
{
    auto *engine = dynamic_cast<SignalEngine *>(api);
    if (engine)
        engine->simulateKick();
    return engine != nullptr;
}

bool SignalTestHooks::loseConnection(SignalApi *api, bool canReconnect)
{
    auto *engine = dynamic_cast<SignalEngine *>(api);
    if (engine)
        engine->simulateConnectionLoss(canReconnect);
    return engine != nullptr;
}

bool SignalTestHooks::holdLogins(SignalApi *api, bool hold)
{
    auto *engine = dynamic_cast<SignalEngine *>(api);
    if (engine)
        engine->holdLogins(hold);
    return engine != nullptr;
}

bool SignalTestHooks::failNextSends(SignalApi *api, int ecode, int count)
{
    auto *engine = dynamic_cast<SignalEngine *>(api);
    if (engine)
        engine->failNextSends(ecode, count);
    return engine != nullptr;
}

} // namespace agora_sdk_win

agora_sdk_win::SignalApi *getAgoraSDKInstanceWin(const char *vendorKey, int vendorKeyLength)
{
    if (!vendorKey || vendorKeyLength <= 0)
        return nullptr;
    const std::string appId(vendorKey, size_t(vendorKeyLength));
    if (!agora_sdk_win::isAppId(appId))
        return nullptr;
    return new agora_sdk_win::SignalEngine(appId);
}
