#ifndef RTCRELAYCLIENT_H
#define RTCRELAYCLIENT_H

#include <MQTTAsync.h>

#include <atomic>

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>

// What a relay connection reports. Called on the MQTT library's threads:
// implementations only hand the news on to their own thread.
class RtcRelayListener
{
public:
    virtual ~RtcRelayListener() {}
    virtual void relayConnected(bool reconnected) = 0;
    virtual void relayConnectFailed(const QString &cause) = 0;
    virtual void relayConnectionLost(const QString &cause) = 0;
    virtual void relaySubscribed(bool ok) = 0;
    virtual void relayMessage(const QByteArray &topic, const QByteArray &payload) = 0;
};

// One MQTT connection of the engine to the relay broker. Once connected it
// reconnects by itself after a loss; what is published while it is away is
// kept and sent when it is back, in order.
class RtcRelayClient
{
public:
    RtcRelayClient();
    // Disconnect first: the listener hears nothing once this has begun.
    ~RtcRelayClient();

    RtcRelayClient(const RtcRelayClient &) = delete;
    RtcRelayClient &operator=(const RtcRelayClient &) = delete;

    // Prepares the connection without touching the network; false, with
    // the reason in error, when the client cannot be made.
    bool create(const QString &host, quint16 port, const QByteArray &clientId, QString *error);
    void setListener(RtcRelayListener *listener);

    // Starts connecting; the outcome comes through the listener. The will is
    // published, retained, if the connection dies without a disconnect.
    bool connect(const QByteArray &willTopic, const QByteArray &willPayload, int keepAliveSeconds);
    bool subscribe(const QList<QByteArray> &topics);
    // Thread-safe; 0 when the message was taken (sent, or kept until the
    // connection is back), else the library's negative code.
    int publish(const QByteArray &topic, const QByteArray &payload, bool retained);
    // Publishes and waits at most timeoutMs for the relay to confirm it;
    // true when it did.
    bool publishAndWait(const QByteArray &topic, const QByteArray &payload, bool retained, int timeoutMs);
    // Ends the connection, waiting at most timeoutMs for what is in flight;
    // nothing more is reported to the listener afterwards.
    void disconnect(int timeoutMs);
    // Ends the connection without a word to the relay, which then
    // publishes the will; nothing more is reported to the listener.
    void abandon();
    bool isConnected() const;
    // Connected once and not now: the connection was lost and is being
    // made again (unlike the first connect, still under way).
    bool isAway() const;

private:
    static void onConnectionLost(void *context, char *cause);
    static int onMessageArrived(void *context, char *topicName, int topicLen, MQTTAsync_message *message);
    static void onConnected(void *context, char *cause);
    static void onConnectFailure(void *context, MQTTAsync_failureData *response);
    static void onSubscribeSuccess(void *context, MQTTAsync_successData *response);
    static void onSubscribeFailure(void *context, MQTTAsync_failureData *response);

    int send(const QByteArray &topic, const QByteArray &payload, bool retained, MQTTAsync_responseOptions *options);
    // Runs f with the listener unless the client is being torn down.
    template<typename F>
    void notify(F f);

    MQTTAsync m_handle = nullptr;
    QByteArray m_willTopic;
    QByteArray m_willPayload;
    QByteArray m_serverUri;
    mutable QMutex m_guard; // m_listener and m_silenced
    RtcRelayListener *m_listener = nullptr;
    bool m_silenced = false;
    // Read without m_guard: the engine asks while holding its own lock,
    // which the listener's calls take under m_guard.
    std::atomic<bool> m_everConnected { false };
};

#endif // RTCRELAYCLIENT_H
