#include "signallink.h"

#include "signaleventqueue.h"

#include "platform/tcpnodelay.h"

#include <MQTTAsync.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>

namespace agora_sdk_win {

namespace {

// Where the events of a live link go. The MQTT library's threads look the
// link up here by the id they carry as context; a link that is gone is
// simply not found, so no callback reaches a deleted object.
struct LinkTarget
{
    std::weak_ptr<SignalEventQueue> queue;
    SignalLinkListener *listener = nullptr;
    MQTTAsync client = nullptr;
    std::string wakeTopic;
    std::string serverUri;
    bool connecting = false; // or disconnecting
    bool subscribed = false; // to its wake topic: a poke comes back
};

// The registry and its locks are never destroyed: the MQTT library's
// threads may still call in while the process exits.
std::mutex &registryMutex()
{
    static auto *mutex = new std::mutex;
    return *mutex;
}

// Held while a client handle is used by another than its owner, and while
// it is destroyed.
std::mutex &handleMutex()
{
    static auto *mutex = new std::mutex;
    return *mutex;
}

std::unordered_map<uint64_t, LinkTarget> &registry()
{
    static auto *links = new std::unordered_map<uint64_t, LinkTarget>;
    return *links;
}

std::atomic<uint64_t> s_nextLinkId { 1 };

const char kWakeRoot[] = "lessonry-signal/wake/";

// The MQTT library watches its sockets with a one-second wait and looks at
// a socket opened meanwhile only when that wait ends, so every connection
// made (or closed) while another is open would take a second or two. While
// a link is connecting or disconnecting, this thread pokes a connected one (an empty message to a
// topic only that link takes, which the broker sends straight back): the
// wait ends and the new socket is looked at at once.
class Waker
{
public:
    static Waker &instance()
    {
        // Never destroyed: the thread may outlive static destruction order.
        static Waker *waker = new Waker;
        return *waker;
    }

    // Called with the registry locked.
    void connectingChanged(int delta)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_connecting += delta;
        if (m_connecting > 0 && !m_started) {
            m_started = true;
            std::thread([this]() { run(); }).detach();
        }
        m_changed.notify_all();
    }

private:
    void run()
    {
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_changed.wait(lock, [this]() { return m_connecting > 0; });
            }
            poke();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    static void poke()
    {
        // Holding the handle lock: a client found registered here is not
        // destroyed before the send is done. The registry lock is not held
        // over the send, since callbacks take it.
        std::lock_guard<std::mutex> handles(handleMutex());
        std::vector<std::pair<MQTTAsync, std::string>> candidates;
        {
            std::lock_guard<std::mutex> lock(registryMutex());
            for (const auto &entry : registry()) {
                const LinkTarget &target = entry.second;
                if (target.client && target.subscribed)
                    candidates.emplace_back(target.client, target.wakeTopic);
            }
        }
        for (const auto &candidate : candidates) {
            if (!MQTTAsync_isConnected(candidate.first))
                continue;
            MQTTAsync_message message = MQTTAsync_message_initializer;
            message.qos = 0;
            if (MQTTAsync_sendMessage(candidate.first, candidate.second.c_str(), &message, nullptr)
                == MQTTASYNC_SUCCESS) {
                return;
            }
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_connecting = 0;
    bool m_started = false;
};

void setConnecting(uint64_t id, bool connecting)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    const auto it = registry().find(id);
    if (it == registry().end() || it->second.connecting == connecting)
        return;
    it->second.connecting = connecting;
    Waker::instance().connectingChanged(connecting ? 1 : -1);
}

void *contextOf(uint64_t id)
{
    return reinterpret_cast<void *>(static_cast<uintptr_t>(id));
}

uint64_t idOf(void *context)
{
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(context));
}

void deliver(void *context, SignalLinkEvent event)
{
    event.linkId = idOf(context);
    std::shared_ptr<SignalEventQueue> queue;
    SignalLinkListener *listener = nullptr;
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        const auto it = registry().find(event.linkId);
        if (it == registry().end())
            return;
        queue = it->second.queue.lock();
        listener = it->second.listener;
    }
    if (!queue)
        return;
    queue->post([listener, event = std::move(event)]() { listener->onLinkEvent(event); });
}

void onConnectionLost(void *context, char *cause)
{
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        const auto it = registry().find(idOf(context));
        if (it != registry().end())
            it->second.subscribed = false;
    }
    SignalLinkEvent event;
    event.type = SignalLinkEvent::Lost;
    event.text = cause ? cause : "";
    deliver(context, std::move(event));
}

int onMessageArrived(void *context, char *topicName, int topicLength, MQTTAsync_message *message)
{
    if (std::strncmp(topicName, kWakeRoot, sizeof(kWakeRoot) - 1) == 0) {
        MQTTAsync_freeMessage(&message);
        MQTTAsync_free(topicName);
        return 1;
    }
    SignalLinkEvent event;
    event.type = SignalLinkEvent::Message;
    // A topic length of 0 means the name is NUL-terminated.
    event.topic = topicLength > 0 ? std::string(topicName, size_t(topicLength)) : std::string(topicName);
    if (message->payload && message->payloadlen > 0)
        event.payload.assign(static_cast<const char *>(message->payload), size_t(message->payloadlen));
    event.retained = message->retained != 0;
    MQTTAsync_freeMessage(&message);
    MQTTAsync_free(topicName);
    deliver(context, std::move(event));
    return 1;
}

void onConnectSuccess(void *context, MQTTAsync_successData *)
{
    std::string serverUri;
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        const auto it = registry().find(idOf(context));
        if (it != registry().end())
            serverUri = it->second.serverUri;
    }
    // Texts are small: they go out at once, not behind a delayed ack.
    if (!serverUri.empty())
        TcpNoDelay::setOnConnectionsToUri(serverUri);
    setConnecting(idOf(context), false);
    SignalLinkEvent event;
    event.type = SignalLinkEvent::Connected;
    deliver(context, std::move(event));
}

void onConnectFailure(void *context, MQTTAsync_failureData *response)
{
    setConnecting(idOf(context), false);
    SignalLinkEvent event;
    event.type = SignalLinkEvent::ConnectFailed;
    event.code = response ? response->code : MQTTASYNC_FAILURE;
    event.text = response && response->message ? response->message : "";
    deliver(context, std::move(event));
}

void deliverRequestDone(void *context, bool ok, int token, int code)
{
    SignalLinkEvent event;
    event.type = SignalLinkEvent::RequestDone;
    event.ok = ok;
    event.token = token;
    event.code = code;
    deliver(context, std::move(event));
}

void onRequestSuccess(void *context, MQTTAsync_successData *response)
{
    deliverRequestDone(context, true, response ? response->token : 0, 0);
}

void onRequestFailure(void *context, MQTTAsync_failureData *response)
{
    deliverRequestDone(context, false, response ? response->token : 0, response ? response->code : MQTTASYNC_FAILURE);
}

void deliverClosed(void *context, bool ok)
{
    setConnecting(idOf(context), false);
    SignalLinkEvent event;
    event.type = SignalLinkEvent::Closed;
    event.ok = ok;
    deliver(context, std::move(event));
}

void onDisconnectDone(void *context, MQTTAsync_successData *)
{
    deliverClosed(context, true);
}

void onDisconnectFailed(void *context, MQTTAsync_failureData *)
{
    deliverClosed(context, false);
}

} // namespace

SignalLink::SignalLink(std::shared_ptr<SignalEventQueue> queue, SignalLinkListener *listener, Options options)
    : m_id(s_nextLinkId++)
    , m_options(std::move(options))
{
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        LinkTarget &target = registry()[m_id];
        target.queue = queue;
        target.listener = listener;
        target.wakeTopic = kWakeRoot + m_options.clientId;
        target.serverUri = m_options.serverUri;
    }
    MQTTAsync client = nullptr;
    if (MQTTAsync_create(&client, m_options.serverUri.c_str(), m_options.clientId.c_str(),
                         MQTTCLIENT_PERSISTENCE_NONE, nullptr) != MQTTASYNC_SUCCESS) {
        return;
    }
    if (MQTTAsync_setCallbacks(client, contextOf(m_id), onConnectionLost, onMessageArrived, nullptr)
        != MQTTASYNC_SUCCESS) {
        MQTTAsync_destroy(&client);
        return;
    }
    m_client = client;
    std::lock_guard<std::mutex> lock(registryMutex());
    registry()[m_id].client = client;
}

SignalLink::~SignalLink()
{
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        const auto it = registry().find(m_id);
        if (it != registry().end() && it->second.connecting)
            Waker::instance().connectingChanged(-1);
        registry().erase(m_id);
    }
    if (m_client) {
        std::lock_guard<std::mutex> handles(handleMutex());
        MQTTAsync client = m_client;
        MQTTAsync_destroy(&client);
    }
}

int SignalLink::connect(int timeoutSeconds, int keepAliveSeconds)
{
    if (!m_client)
        return MQTTASYNC_FAILURE;
    MQTTAsync_connectOptions options = MQTTAsync_connectOptions_initializer;
    options.MQTTVersion = MQTTVERSION_3_1_1;
    options.cleansession = 1;
    options.keepAliveInterval = keepAliveSeconds;
    options.connectTimeout = timeoutSeconds;
    options.onSuccess = onConnectSuccess;
    options.onFailure = onConnectFailure;
    options.context = contextOf(m_id);
    if (!m_options.userName.empty())
        options.username = m_options.userName.c_str();
    if (!m_options.password.empty()) {
        options.binarypwd.len = int(m_options.password.size());
        options.binarypwd.data = m_options.password.data();
    }
    MQTTAsync_willOptions will = MQTTAsync_willOptions_initializer;
    if (!m_options.willTopic.empty()) {
        will.topicName = m_options.willTopic.c_str();
        will.payload.len = int(m_options.willPayload.size());
        will.payload.data = m_options.willPayload.data();
        will.retained = m_options.willRetained ? 1 : 0;
        will.qos = 1;
        options.will = &will;
    }
    setConnecting(m_id, true);
    const int rc = MQTTAsync_connect(m_client, &options);
    if (rc != MQTTASYNC_SUCCESS)
        setConnecting(m_id, false);
    return rc;
}

int SignalLink::subscribe(const std::vector<std::string> &topics, int *token)
{
    if (!m_client)
        return MQTTASYNC_FAILURE;
    std::vector<char *> names;
    std::vector<int> qos;
    const std::string wakeTopic = kWakeRoot + m_options.clientId;
    names.push_back(const_cast<char *>(wakeTopic.c_str()));
    qos.push_back(0);
    for (const std::string &topic : topics) {
        names.push_back(const_cast<char *>(topic.c_str()));
        qos.push_back(1);
    }
    MQTTAsync_responseOptions options = MQTTAsync_responseOptions_initializer;
    options.onSuccess = onRequestSuccess;
    options.onFailure = onRequestFailure;
    options.context = contextOf(m_id);
    const int rc = MQTTAsync_subscribeMany(m_client, int(names.size()), names.data(), qos.data(), &options);
    if (token)
        *token = options.token;
    if (rc == MQTTASYNC_SUCCESS) {
        std::lock_guard<std::mutex> lock(registryMutex());
        registry()[m_id].subscribed = true;
    }
    return rc;
}

int SignalLink::publish(const std::string &topic, const std::string &payload, bool retained, int *token)
{
    if (!m_client)
        return MQTTASYNC_FAILURE;
    MQTTAsync_message message = MQTTAsync_message_initializer;
    message.payload = const_cast<char *>(payload.data());
    message.payloadlen = int(payload.size());
    message.qos = 1;
    message.retained = retained ? 1 : 0;
    MQTTAsync_responseOptions options = MQTTAsync_responseOptions_initializer;
    options.onSuccess = onRequestSuccess;
    options.onFailure = onRequestFailure;
    options.context = contextOf(m_id);
    const int rc = MQTTAsync_sendMessage(m_client, topic.c_str(), &message, &options);
    if (token)
        *token = options.token;
    return rc;
}

int SignalLink::disconnect(int timeoutMs)
{
    m_connected = false;
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        registry()[m_id].subscribed = false;
    }
    if (!m_client)
        return MQTTASYNC_FAILURE;
    MQTTAsync_disconnectOptions options = MQTTAsync_disconnectOptions_initializer;
    options.timeout = timeoutMs;
    options.onSuccess = onDisconnectDone;
    options.onFailure = onDisconnectFailed;
    options.context = contextOf(m_id);
    setConnecting(m_id, true);
    const int rc = MQTTAsync_disconnect(m_client, &options);
    if (rc != MQTTASYNC_SUCCESS)
        setConnecting(m_id, false);
    return rc;
}

} // namespace agora_sdk_win
