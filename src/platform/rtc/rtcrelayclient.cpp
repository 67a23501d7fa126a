#include "rtcrelayclient.h"

#include "platform/tcpnodelay.h"

#include <MQTTAsync.h>

#include <QMutexLocker>
#include <QSemaphore>

namespace {

const int kQos = 1;

QString causeText(const char *cause)
{
    // The library may give no cause at all.
    return cause ? QString::fromUtf8(cause) : QString();
}

QString failureText(MQTTAsync_failureData *response)
{
    if (!response)
        return QString();
    const QString message = causeText(response->message);
    return message.isEmpty() ? QStringLiteral("code %1").arg(response->code)
                             : QStringLiteral("%1 (code %2)").arg(message).arg(response->code);
}

void releaseSemaphore(void *context, MQTTAsync_successData *)
{
    static_cast<QSemaphore *>(context)->release();
}

void releaseSemaphoreOnFailure(void *context, MQTTAsync_failureData *)
{
    static_cast<QSemaphore *>(context)->release();
}

} // namespace

RtcRelayClient::RtcRelayClient() = default;

RtcRelayClient::~RtcRelayClient()
{
    abandon();
}

bool RtcRelayClient::create(const QString &host, quint16 port, const QByteArray &clientId, QString *error)
{
    m_serverUri = QStringLiteral("tcp://%1:%2").arg(host).arg(port).toUtf8();
    MQTTAsync_createOptions options = MQTTAsync_createOptions_initializer;
    options.MQTTVersion = MQTTVERSION_3_1_1;
    options.sendWhileDisconnected = 1;
    options.allowDisconnectedSendAtAnyTime = 1;
    options.maxBufferedMessages = 10000;
    MQTTAsync handle = nullptr;
    const int rc = MQTTAsync_createWithOptions(&handle, m_serverUri.constData(), clientId.constData(),
                                               MQTTCLIENT_PERSISTENCE_NONE, nullptr, &options);
    if (rc != MQTTASYNC_SUCCESS || !handle) {
        if (error)
            *error = QStringLiteral("cannot create a relay client for %1 (code %2)").arg(QString::fromUtf8(m_serverUri)).arg(rc);
        return false;
    }
    m_handle = handle;
    MQTTAsync_setCallbacks(m_handle, this, &RtcRelayClient::onConnectionLost, &RtcRelayClient::onMessageArrived, nullptr);
    MQTTAsync_setConnected(m_handle, this, &RtcRelayClient::onConnected);
    return true;
}

void RtcRelayClient::setListener(RtcRelayListener *listener)
{
    QMutexLocker lock(&m_guard);
    m_listener = listener;
}

template<typename F>
void RtcRelayClient::notify(F f)
{
    QMutexLocker lock(&m_guard);
    if (!m_silenced && m_listener)
        f(m_listener);
}

bool RtcRelayClient::connect(const QByteArray &willTopic, const QByteArray &willPayload, int keepAliveSeconds)
{
    if (!m_handle)
        return false;
    // The library keeps pointers to the will; keep the texts with us.
    m_willTopic = willTopic;
    m_willPayload = willPayload;

    MQTTAsync_willOptions will = MQTTAsync_willOptions_initializer;
    will.topicName = m_willTopic.constData();
    will.payload.data = m_willPayload.constData();
    will.payload.len = m_willPayload.size();
    will.retained = 1;
    will.qos = kQos;

    MQTTAsync_connectOptions options = MQTTAsync_connectOptions_initializer;
    options.keepAliveInterval = keepAliveSeconds;
    options.cleansession = 1;
    options.will = &will;
    options.connectTimeout = 5;
    options.automaticReconnect = 1;
    options.minRetryInterval = 1;
    options.maxRetryInterval = 2;
    options.onFailure = &RtcRelayClient::onConnectFailure;
    options.context = this;
    return MQTTAsync_connect(m_handle, &options) == MQTTASYNC_SUCCESS;
}

bool RtcRelayClient::subscribe(const QList<QByteArray> &topics)
{
    if (!m_handle || topics.isEmpty())
        return false;
    QVector<char *> names;
    QVector<int> qos;
    for (const QByteArray &topic : topics) {
        names.append(const_cast<char *>(topic.constData()));
        qos.append(kQos);
    }
    MQTTAsync_responseOptions options = MQTTAsync_responseOptions_initializer;
    options.onSuccess = &RtcRelayClient::onSubscribeSuccess;
    options.onFailure = &RtcRelayClient::onSubscribeFailure;
    options.context = this;
    return MQTTAsync_subscribeMany(m_handle, names.size(), names.data(), qos.data(), &options) == MQTTASYNC_SUCCESS;
}

int RtcRelayClient::publish(const QByteArray &topic, const QByteArray &payload, bool retained)
{
    MQTTAsync_responseOptions options = MQTTAsync_responseOptions_initializer;
    return send(topic, payload, retained, &options);
}

int RtcRelayClient::send(const QByteArray &topic, const QByteArray &payload, bool retained, MQTTAsync_responseOptions *options)
{
    if (!m_handle)
        return MQTTASYNC_FAILURE;
    MQTTAsync_message message = MQTTAsync_message_initializer;
    message.payload = const_cast<char *>(payload.constData());
    message.payloadlen = payload.size();
    message.qos = kQos;
    message.retained = retained ? 1 : 0;
    return MQTTAsync_sendMessage(m_handle, topic.constData(), &message, options);
}

bool RtcRelayClient::publishAndWait(const QByteArray &topic, const QByteArray &payload, bool retained, int timeoutMs)
{
    if (!m_handle)
        return false;
    // Shared with the library's callback, which may come after we gave up.
    auto confirmed = new QSemaphore;
    MQTTAsync_responseOptions options = MQTTAsync_responseOptions_initializer;
    options.onSuccess = &releaseSemaphore;
    options.onFailure = &releaseSemaphoreOnFailure;
    options.context = confirmed;
    if (send(topic, payload, retained, &options) != MQTTASYNC_SUCCESS) {
        delete confirmed;
        return false;
    }
    const bool done = confirmed->tryAcquire(1, timeoutMs);
    if (done)
        delete confirmed;
    // Otherwise it stays: a late answer still finds it.
    return done;
}

void RtcRelayClient::abandon()
{
    {
        QMutexLocker lock(&m_guard);
        m_silenced = true;
    }
    if (m_handle) {
        MQTTAsync handle = m_handle;
        MQTTAsync_destroy(&handle);
        m_handle = nullptr;
    }
}

void RtcRelayClient::disconnect(int timeoutMs)
{
    {
        QMutexLocker lock(&m_guard);
        m_silenced = true;
    }
    if (!m_handle)
        return;
    QSemaphore done;
    MQTTAsync_disconnectOptions options = MQTTAsync_disconnectOptions_initializer;
    options.timeout = timeoutMs;
    options.onSuccess = &releaseSemaphore;
    options.onFailure = &releaseSemaphoreOnFailure;
    options.context = &done;
    if (MQTTAsync_disconnect(m_handle, &options) == MQTTASYNC_SUCCESS)
        done.tryAcquire(1, timeoutMs + 1000);
}

bool RtcRelayClient::isConnected() const
{
    return m_handle && MQTTAsync_isConnected(m_handle);
}

bool RtcRelayClient::isAway() const
{
    return m_everConnected.load() && !isConnected();
}

void RtcRelayClient::onConnectionLost(void *context, char *cause)
{
    auto *self = static_cast<RtcRelayClient *>(context);
    const QString text = causeText(cause);
    self->notify([&](RtcRelayListener *listener) { listener->relayConnectionLost(text); });
}

int RtcRelayClient::onMessageArrived(void *context, char *topicName, int topicLen, MQTTAsync_message *message)
{
    auto *self = static_cast<RtcRelayClient *>(context);
    // A length of 0 means the name ends with a null character.
    const QByteArray topic = topicLen > 0 ? QByteArray(topicName, topicLen) : QByteArray(topicName);
    const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
    MQTTAsync_freeMessage(&message);
    MQTTAsync_free(topicName);
    self->notify([&](RtcRelayListener *listener) { listener->relayMessage(topic, payload); });
    return 1;
}

void RtcRelayClient::onConnected(void *context, char *)
{
    auto *self = static_cast<RtcRelayClient *>(context);
    // Called after every connect, the automatic reconnects included.
    TcpNoDelay::setOnConnectionsToUri(self->m_serverUri.toStdString());
    const bool reconnected = self->m_everConnected.exchange(true);
    self->notify([&](RtcRelayListener *listener) { listener->relayConnected(reconnected); });
}

void RtcRelayClient::onConnectFailure(void *context, MQTTAsync_failureData *response)
{
    auto *self = static_cast<RtcRelayClient *>(context);
    const QString text = failureText(response);
    self->notify([&](RtcRelayListener *listener) { listener->relayConnectFailed(text); });
}

void RtcRelayClient::onSubscribeSuccess(void *context, MQTTAsync_successData *)
{
    auto *self = static_cast<RtcRelayClient *>(context);
    self->notify([](RtcRelayListener *listener) { listener->relaySubscribed(true); });
}

void RtcRelayClient::onSubscribeFailure(void *context, MQTTAsync_failureData *)
{
    auto *self = static_cast<RtcRelayClient *>(context);
    self->notify([](RtcRelayListener *listener) { listener->relaySubscribed(false); });
}
