#ifndef SIGNALLINK_H
#define SIGNALLINK_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace agora_sdk_win {

class SignalEventQueue;

// What happened on one connection, delivered through the owner's queue.
struct SignalLinkEvent
{
    enum Type {
        Connected,
        ConnectFailed, // code: the MQTT library's or the broker's refusal
        Lost,          // text: the cause, empty when none was given
        Message,       // topic, payload, retained
        RequestDone,   // token, ok, code: a subscribe or publish finished
        Closed,        // the disconnect finished (either way)
    };

    Type type = Connected;
    uint64_t linkId = 0;
    int token = 0;
    bool ok = false;
    int code = 0;
    bool retained = false;
    std::string topic;
    std::string payload;
    std::string text;
};

class SignalLinkListener
{
public:
    virtual ~SignalLinkListener() = default;
    // Runs on the thread that pumps the queue.
    virtual void onLinkEvent(const SignalLinkEvent &event) = 0;
};

// One MQTT connection (Paho, asynchronous client). Every callback of the
// MQTT library only posts an event to the owner's queue; the events name
// the link by id, so events of a link destroyed meanwhile are told apart.
// Not thread-safe: the owner calls it from the thread that pumps the queue.
class SignalLink
{
public:
    struct Options
    {
        std::string serverUri;  // "tcp://host:port"
        std::string clientId;
        std::string userName;
        std::string password;
        std::string willTopic;  // empty: no will
        std::string willPayload;
        bool willRetained = false;
    };

    SignalLink(std::shared_ptr<SignalEventQueue> queue, SignalLinkListener *listener, Options options);
    // Destroys the client without a disconnect: the broker sees the
    // connection die (and sends the will).
    ~SignalLink();

    SignalLink(const SignalLink &) = delete;
    SignalLink &operator=(const SignalLink &) = delete;

    uint64_t id() const { return m_id; }

    // Each returns 0 when the request was taken, else the MQTT library's
    // code; the outcome follows as an event.
    int connect(int timeoutSeconds, int keepAliveSeconds);
    int subscribe(const std::vector<std::string> &topics, int *token);
    int publish(const std::string &topic, const std::string &payload, bool retained, int *token);
    // Lets messages in flight finish for up to timeoutMs first.
    int disconnect(int timeoutMs);

    bool isConnected() const { return m_connected; }
    void setConnected(bool connected) { m_connected = connected; }

private:
    void *m_client = nullptr;
    uint64_t m_id = 0;
    Options m_options;
    bool m_connected = false;
};

} // namespace agora_sdk_win

#endif // SIGNALLINK_H
