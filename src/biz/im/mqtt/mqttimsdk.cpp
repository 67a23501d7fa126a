#include "mqttimsdk.h"

#include "mgr/globalcurrentuser.h"
#include "platform/mqtttopiclevel.h"
#include "platform/tcpnodelay.h"
#include "utility/durations.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "rolepolicy.h"
#include "utility/actionlog.h"
#include "utility/serverconfig.h"

#include <QAtomicInt>
#include <QDebug>
#include <QMutex>
#include <QMutexLocker>
#include <QTimer>

// One library client's life: the context of its callbacks.
struct MqttImSdk::Session
{
    MqttImSdk *sdk = nullptr;
    quint64 id = 0;
    // Read by the connect callback on the library's thread.
    std::string serverUrl;
    // Topic requests handed to the library and not answered yet. The
    // library drops the requests it has not sent when its client is
    // destroyed, without a callback: those are freed with the client.
    QMutex mutex;
    QSet<TopicRequest *> requests;
};

namespace {

QAtomicInt s_pendingTopicRequests;

} // namespace

// Context of a subscribe or unsubscribe request: its result names the
// topic it was for, whatever the members say by the time it arrives.
struct MqttImSdk::TopicRequest
{
    TopicRequest(Session *owner, const QString &name)
        : session(owner)
        , topic(name)
    {
        s_pendingTopicRequests.ref();
    }
    ~TopicRequest() { s_pendingTopicRequests.deref(); }
    Q_DISABLE_COPY(TopicRequest)

    Session *session;
    QString topic;
};

namespace {

int failureCode(const MQTTAsync_failureData *response)
{
    return response ? response->code : -1;
}

// The library may give no record, or a record without a message.
QString failureText(const MQTTAsync_failureData *response)
{
    return response && response->message ? QString::fromUtf8(response->message) : QString();
}

QString flag(bool value)
{
    return QString::number(value ? 1 : 0);
}

void logInfo(const QString &text)
{
    qInfo().noquote() << text;
}

void logCritical(const QString &text)
{
    qCritical().noquote() << text;
}

// A class id or uid that cannot stand as one topic level (a wildcard, a
// slash, ...) would make the broker end the connection, or reach topics
// that are not the class's.
bool isTopicLevel(const QString &name)
{
    return MqttTopicLevel::isValid(name.toStdString());
}

// How long a logout waits for publishes and unsubscribes in flight to
// finish before it disconnects all the same.
const int kRequestsFinishWaitMs = 2000;

} // namespace

MqttImSdk::MqttImSdk(QObject *parent)
    : QObject(parent)
{
}

MqttImSdk::~MqttImSdk()
{
    destory();
}

MqttImSdk *MqttImSdk::instance()
{
    return Singleton<MqttImSdk>::instance();
}

int MqttImSdk::pendingTopicRequests()
{
    return s_pendingTopicRequests.loadAcquire();
}

void MqttImSdk::postToSession(Session *session, std::function<void(MqttImSdk *)> call)
{
    MqttImSdk *sdk = session->sdk;
    const quint64 id = session->id;
    QMetaObject::invokeMethod(
        sdk,
        [sdk, id, call]() {
            if (id != sdk->m_sessionId) {
                logInfo(QStringLiteral("dropped a callback of a replaced MQTT client"));
                return;
            }
            call(sdk);
        },
        Qt::QueuedConnection);
}

void MqttImSdk::later(std::function<void()> call)
{
    const quint64 id = m_sessionId;
    QMetaObject::invokeMethod(
        this,
        [this, id, call]() {
            if (id == m_sessionId)
                call();
        },
        Qt::QueuedConnection);
}

MqttImSdk::TopicRequest *MqttImSdk::takeRequest(void *context)
{
    auto *request = static_cast<TopicRequest *>(context);
    if (!request)
        return nullptr;
    QMutexLocker lock(&request->session->mutex);
    return request->session->requests.remove(request) ? request : nullptr;
}

void MqttImSdk::init(const QString &id)
{
    logInfo(QStringLiteral("init MqttImSdk."));
    isChannelTopicSubscribed = false;
    isPeerTopicSubscribed = false;
    isDoingLogout = false;
    isLoginInFuture = false;
    isDoingLogin = false;
    m_requestsInFlight.clear();
    m_logoutAfterRequests = false;
    if (m_requestsWait)
        m_requestsWait->stop();

    // A client left from an earlier init would keep its connection and
    // call back into this object: never keep two.
    if (client)
        destory();

    const MQTTAsync_nameValue *version = MQTTAsync_getVersionInfo();
    if (version && version->name)
        logInfo(QStringLiteral("[MQTT Client Library version] name:%1, value:%2")
                    .arg(QString::fromUtf8(version->name), QString::fromUtf8(version->value)));

    serverUrl = getServerUrl().toUtf8();
    m_session = std::make_unique<Session>();
    m_session->sdk = this;
    m_session->id = ++m_sessionId;
    m_session->serverUrl = serverUrl.toStdString();
    logInfo(QStringLiteral("server_url:") + QString::fromUtf8(serverUrl));

    m_clientId = RolePolicy::current().mqttClientIdPrefix + id;
    m_clientIdBytes = m_clientId.toUtf8();
    logInfo(QStringLiteral("init mqtt client, clientId:%1").arg(m_clientId));

    int rc = MQTTAsync_create(&client, serverUrl.constData(), m_clientIdBytes.constData(),
                              MQTTCLIENT_PERSISTENCE_NONE, nullptr);
    if (rc != MQTTASYNC_SUCCESS) {
        logCritical(QStringLiteral("MQTTAsync_create error, errCode:%1, clientId:%2").arg(rc).arg(m_clientId));
        // Every later operation checks for this and never hands the
        // library a handle it did not create.
        client = nullptr;
    } else {
        rc = MQTTAsync_setCallbacks(client, m_session.get(), &MqttImSdk::connectionLost, &MqttImSdk::messageArrived,
                                    &MqttImSdk::deliveryComplete);
        if (rc != MQTTASYNC_SUCCESS)
            logCritical(QStringLiteral("MQTTAsync_setCallbacks error, errCode:%1, clientId:%2").arg(rc).arg(m_clientId));
    }
    wireSignals();
}

void MqttImSdk::wireSignals()
{
    if (m_signalsWired)
        return;
    m_signalsWired = true;
    connect(this, &MqttImSdk::signalLoginSuccess, this, &MqttImSdk::slot_loginSuccess);
    connect(this, &MqttImSdk::signalLoginFailure, this, &MqttImSdk::slot_loginFailure);
    connect(this, &MqttImSdk::signalLogoutSuccess, this, &MqttImSdk::slot_logoutSuccess);
    connect(this, &MqttImSdk::signalLogoutFailure, this, &MqttImSdk::slot_logoutFailure);
    connect(this, &MqttImSdk::signalJoinChannelSuccess, this, &MqttImSdk::slot_joinChannelSuccess);
    connect(this, &MqttImSdk::signalJoinChannelFailure, this, &MqttImSdk::slot_joinChannelFailure);
    connect(this, &MqttImSdk::signalLeaveChannelSuccess, this, &MqttImSdk::slot_leaveChannelSuccess);
    connect(this, &MqttImSdk::signalLeaveChannelFailure, this, &MqttImSdk::slot_leaveChannelFailure);
    connect(this, &MqttImSdk::signalSendMsgSuccess, this, &MqttImSdk::slot_sendMsgSuccess);
    connect(this, &MqttImSdk::signalSendMsgFailure, this, &MqttImSdk::slot_sendMsgFailure);
    connect(this, &MqttImSdk::signalMessageArrived, this, &MqttImSdk::slot_messageArrived);
    connect(this, &MqttImSdk::signalMessageDelivered, this, &MqttImSdk::slot_messageDelivered);
    connect(this, &MqttImSdk::signalConnectionLost, this, &MqttImSdk::slot_connectionLost);
}

void MqttImSdk::destory()
{
    logInfo(QStringLiteral("destory mqtt client!"));
    // A logout waiting for requests in flight goes with the client.
    m_requestsInFlight.clear();
    m_logoutAfterRequests = false;
    if (m_requestsWait)
        m_requestsWait->stop();
    if (client)
        MQTTAsync_destroy(&client);
    client = nullptr;
    if (m_session) {
        // No callback of the destroyed client comes any more.
        QMutexLocker lock(&m_session->mutex);
        qDeleteAll(m_session->requests);
        m_session->requests.clear();
        lock.unlock();
        m_retiredSessions.push_back(std::move(m_session));
    }
    // What the old client (or this object for it) queued is dropped.
    ++m_sessionId;
}

bool MqttImSdk::isConnected()
{
    const bool connected = client && MQTTAsync_isConnected(client);
    logInfo(QStringLiteral("isConnected:") + (connected ? QStringLiteral("true") : QStringLiteral("false")));
    return connected;
}

bool MqttImSdk::isInChannel()
{
    const bool inChannel = isChannelTopicSubscribed && isPeerTopicSubscribed;
    logInfo(QStringLiteral("isInChannel:%1").arg(flag(inChannel)));
    return inChannel;
}

QString MqttImSdk::getServerUrl() const
{
    const ServerConfig config = ServerConfig::current();
    ServerConfig::MqttBroker broker;
    switch (getServerEnvironment()) {
    case 0:
        broker = config.developmentMqttBroker();
        break;
    case 2:
        broker = config.productionMqttBroker();
        break;
    default:
        return QString();
    }
    if (broker.host.isEmpty() || broker.port == 0)
        return QString();
    return QStringLiteral("tcp://%1:%2").arg(broker.host).arg(broker.port);
}

QString MqttImSdk::getChannelTopic() const
{
    if (!isTopicLevel(classId))
        return QString();
    return QStringLiteral("tp/velmo/signal/channel/") + classId + QStringLiteral("/message");
}

QString MqttImSdk::getOwnPeerTopic() const
{
    return getPeerTopic(uid);
}

QString MqttImSdk::getPeerTopic(const QString &peerUid) const
{
    if (!isTopicLevel(peerUid) || !isTopicLevel(classId))
        return QString();
    return QStringLiteral("tp/velmo/signal/p2p/") + peerUid + QStringLiteral("/channel/") + classId;
}

QString MqttImSdk::getServerTopic()
{
    return QStringLiteral("tp/velmo/signal/server");
}

QString MqttImSdk::ownEnvelope(int type)
{
    ChannelPresenceData presence;
    presence.classid = classId;
    return SendAndReceiveMsg::instance()->buildMsgText(presence, IMMsgType(type), uid);
}

// --- publishing ---------------------------------------------------------

int MqttImSdk::innerSendMsg(const QString &topic, const QString &content)
{
    if (client && topic.isEmpty()) {
        // Built from a class id or uid that is no topic level.
        logCritical(QStringLiteral("<SendMqttMsg> refused: the class id or the addressee is not a topic level"));
        reportRefusedSend(MQTTASYNC_BAD_UTF8_STRING, QStringLiteral("not a topic level"));
        return -1;
    }
    QByteArray payload = content.toUtf8();
    const QByteArray topicBytes = topic.toUtf8();
    MQTTAsync_message message = MQTTAsync_message_initializer;
    message.payload = payload.data();
    message.payloadlen = payload.size();
    message.qos = 1;
    message.retained = 0;
    message.msgid = 0;

    MQTTAsync_responseOptions options = MQTTAsync_responseOptions_initializer;
    options.onSuccess = &MqttImSdk::onSendSuccess;
    options.onFailure = &MqttImSdk::onSendFailure;
    options.context = m_session.get();

    const int rc = client ? MQTTAsync_sendMessage(client, topicBytes.constData(), &message, &options) : MQTTASYNC_FAILURE;
    if (rc != MQTTASYNC_SUCCESS) {
        logCritical(QStringLiteral("<SendMqttMsg> MQTTAsync_sendMessage error. token:%1, errCode:%2").arg(options.token).arg(rc));
        reportRefusedSend(rc, client ? QString::fromUtf8(MQTTAsync_strerror(rc)) : QStringLiteral("no MQTT client"));
        return -1;
    }
    m_requestsInFlight.insert(QStringLiteral("publish %1").arg(options.token));
    logInfo(QStringLiteral("<SendMqttMsg> after SendMsg msgId:%1, respToken:%2, msgContent:%3")
                .arg(message.msgid)
                .arg(options.token)
                .arg(content));
    return options.token;
}

void MqttImSdk::reportRefusedSend(int errCode, const QString &errMsg)
{
    // Refused at once: reported from the event loop, as a publish that
    // fails later is.
    later([this, errCode, errMsg]() { slot_sendMsgFailure(-1, errCode, errMsg); });
}

int MqttImSdk::sendChannelMsg(const QString &content)
{
    return innerSendMsg(getChannelTopic(), content);
}

int MqttImSdk::sendPeerMsg(const QString &peerUid, const QString &content)
{
    return innerSendMsg(getPeerTopic(peerUid), content);
}

int MqttImSdk::sendMsgToServer(const QString &content)
{
    logInfo(QStringLiteral("send topic:%1 msg:%2").arg(getServerTopic(), content));
    return innerSendMsg(getServerTopic(), content);
}

void MqttImSdk::slot_sendMsgSuccess(int token)
{
    logInfo(QStringLiteral("<SendMqttMsg> sendMsgSuccess token:%1").arg(token));
    emit signal_sendMsgSuccess(token);
    requestDone(QStringLiteral("publish %1").arg(token));
}

void MqttImSdk::slot_sendMsgFailure(int token, int errCode, QString errMsg)
{
    logCritical(QStringLiteral("<SendMqttMsg> sendMsgFailure, code:%1, msg:%2").arg(errCode).arg(errMsg));
    ActionLog::instance()->ErrorInfo(QStringLiteral("mqtt_message_send_failure"),
                                     QStringLiteral("{channelid:%1,code:%2,errMsg:%3}").arg(classId).arg(errCode).arg(errMsg));
    emit signal_sendMsgFailure(token, errCode, errMsg);
    requestDone(QStringLiteral("publish %1").arg(token));
}

void MqttImSdk::slot_messageDelivered(int token)
{
    logInfo(QStringLiteral("deliveryComplete, token:%1").arg(token));
}

// --- receiving and presence ---------------------------------------------

void MqttImSdk::slot_messageArrived(QString strMsg)
{
    // Read once, here: the message layer and the typed signal take the
    // envelope as it is read.
    ReceivedEnvelope envelope;
    switch (ReceivedEnvelope::read(strMsg, envelope)) {
    case ReceivedEnvelope::TooLong:
        logCritical(QStringLiteral("drop mqtt msg: it has %1 characters").arg(strMsg.size()));
        return;
    case ReceivedEnvelope::Unreadable:
        return;
    case ReceivedEnvelope::Own:
        logInfo(QStringLiteral("The msg that received is from current user."));
        return;
    case ReceivedEnvelope::Read:
        break;
    }
    const BaseMessageEntity &header = envelope.header();
    if (!isTopicLevel(header.sender)) {
        // An answer to it would go to a topic built from the sender.
        logCritical(QStringLiteral("drop mqtt msg: the sender is not a topic level, type:%1").arg(header.type));
        ActionLog::instance()->ErrorInfo(QStringLiteral("mqtt_message_dropped"),
                                         QStringLiteral("{type:%1,reason:sender}").arg(header.type));
        return;
    }
    switch (header.type) {
    case IM_JoinChannel:
        sendPeerMsg(header.sender, ownEnvelope(IM_UserJoin));
        slot_channelUserJoined(header.sender);
        break;
    case IM_LeaveChannel:
        slot_channelUserLeaved(header.sender);
        break;
    case IM_UserJoin:
        slot_channelUserJoined(header.sender);
        break;
    default:
        break;
    }
    emit signal_envelopeArrived(envelope);
}

void MqttImSdk::slot_channelUserJoined(QString uid)
{
    logInfo(QStringLiteral("onChannelUserJoined, uid:%1").arg(uid));
    emit signal_channelUserJoined(uid);
}

void MqttImSdk::slot_channelUserLeaved(QString uid)
{
    logInfo(QStringLiteral("onChannelUserLeaved, uid:%1").arg(uid));
    emit signal_channelUserLeaved(uid);
}

// --- login and logout ---------------------------------------------------

void MqttImSdk::login(const QString &classId, const QString &uid, const QString &password)
{
    this->classId = classId;
    this->uid = uid;
    userName = (RolePolicy::current().mqttUserNamePrefix + uid).toUtf8();
    this->password = password.toUtf8();
    qInfo().noquote().nospace() << QStringLiteral("connectMqtt: start login class:%1, uid:%2, isDoingLogout:%3, isLoginInFuture:%4")
                                       .arg(classId, uid, flag(isDoingLogout), flag(isLoginInFuture))
                                << ", this:" << this;
    if (isDoingLogout) {
        // Connect once the outstanding disconnect has ended.
        isLoginInFuture = true;
    } else {
        loginImpl();
        isLoginInFuture = false;
    }
    qInfo().noquote().nospace() << QStringLiteral("connectMqtt: end login class:%1, uid:%2, isLoginInFuture:%3, isLoginInFuture:%4")
                                       .arg(classId, uid, flag(isLoginInFuture), flag(isLoginInFuture))
                                << ", this:" << this;
}

void MqttImSdk::loginImpl()
{
    ActionLog::instance()->NormalInfo(QStringLiteral("mqtt_login_start"),
                                      QStringLiteral("{uid:%1,isDoingLogout:%2,isLoginInFuture:%3,isDoingLogin:%4}")
                                          .arg(uid, flag(isDoingLogout), flag(isLoginInFuture), flag(isDoingLogin)));
    qInfo().noquote().nospace() << QStringLiteral("connectMqtt: start loginImpl, classId:%1, uid:%2, isLoginInFuture:%3, isDoingLogin:%4")
                                       .arg(classId, uid, flag(isLoginInFuture), flag(isDoingLogin))
                                << ", this:" << this;
    if (isDoingLogin)
        return;
    if (getChannelTopic().isEmpty() || !isTopicLevel(uid)) {
        // No will and no topics could be built: refused like a connect
        // the library refuses.
        logCritical(QStringLiteral("MQTTAsync_connect error, the class id or uid is not a topic level"));
        later([this]() { slot_loginFailure(MQTTASYNC_BAD_UTF8_STRING, QStringLiteral("not a topic level")); });
        return;
    }
    isDoingLogin = true;

    // The will: a LeaveChannel on the class topic, built for this connect.
    m_willTopic = getChannelTopic().toUtf8();
    m_willMessage = ownEnvelope(IM_LeaveChannel).toUtf8();

    MQTTAsync_willOptions will = MQTTAsync_willOptions_initializer;
    will.struct_version = 0;
    will.topicName = m_willTopic.constData();
    will.message = m_willMessage.constData();
    will.retained = 0;
    will.qos = 0;

    MQTTAsync_connectOptions options = MQTTAsync_connectOptions_initializer;
    options.struct_version = 4;
    options.keepAliveInterval = 60;
    options.cleansession = 1;
    options.maxInflight = 10;
    options.will = &will;
    options.username = userName.constData();
    // An empty password goes out as an empty text, not as none.
    options.password = password.constData();
    options.connectTimeout = 30;
    options.retryInterval = 0;
    options.ssl = nullptr;
    options.onSuccess = &MqttImSdk::onConnectSuccess;
    options.onFailure = &MqttImSdk::onConnectFailure;
    options.context = m_session.get();
    options.serverURIcount = 0;
    options.serverURIs = nullptr;
    options.MQTTVersion = MQTTVERSION_3_1_1;
    options.automaticReconnect = 0;
    options.minRetryInterval = 1;
    options.maxRetryInterval = 60;

    const int rc = client ? MQTTAsync_connect(client, &options) : MQTTASYNC_FAILURE;
    if (rc != MQTTASYNC_SUCCESS) {
        logCritical(QStringLiteral("MQTTAsync_connect error, uid:%1").arg(uid));
        // No callback follows a refused request: release the flag so the
        // next login can connect, and report the failure as a failed
        // connect would, from the event loop.
        isDoingLogin = false;
        const QString reason = client ? QString::fromUtf8(MQTTAsync_strerror(rc)) : QStringLiteral("no MQTT client");
        later([this, rc, reason]() { slot_loginFailure(rc, reason); });
    }
    logInfo(QStringLiteral("connectMqtt: end loginImpl, classId:%1, uid:%2").arg(classId, uid));
}

void MqttImSdk::logout()
{
    logInfo(QStringLiteral("connectMqtt: start logout, "));
    ActionLog::instance()->NormalInfo(QStringLiteral("mqtt_logout_start"),
                                      QStringLiteral("{uid:%1,isDoingLogout:%2,isLoginInFuture:%3}")
                                          .arg(uid, flag(isDoingLogout), flag(isLoginInFuture)));
    if (!m_requestsInFlight.isEmpty() && client && MQTTAsync_isConnected(client)) {
        // A disconnect right behind requests still in flight may leave
        // unwritten bytes on the socket, and the library then closes it
        // without a DISCONNECT: the broker would send the will. Wait for
        // the publishes and unsubscribes first (not for ever).
        logInfo(QStringLiteral("connectMqtt: logout waits for %1 request(s)").arg(m_requestsInFlight.size()));
        isDoingLogout = true;
        m_logoutAfterRequests = true;
        if (!m_requestsWait) {
            m_requestsWait = new QTimer(this);
            m_requestsWait->setSingleShot(true);
            connect(m_requestsWait, &QTimer::timeout, this, [this]() {
                logInfo(QStringLiteral("connectMqtt: requests unfinished, disconnecting"));
                m_requestsInFlight.clear();
                disconnectNow();
            });
        }
        m_requestsWait->start(Durations::ms(kRequestsFinishWaitMs));
        return;
    }
    disconnectNow();
}

void MqttImSdk::requestDone(const QString &request)
{
    if (!m_requestsInFlight.remove(request) || !m_requestsInFlight.isEmpty() || !m_logoutAfterRequests)
        return;
    if (m_requestsWait)
        m_requestsWait->stop();
    disconnectNow();
}

void MqttImSdk::disconnectNow()
{
    const bool deferred = m_logoutAfterRequests;
    m_logoutAfterRequests = false;
    MQTTAsync_disconnectOptions options = MQTTAsync_disconnectOptions_initializer;
    options.struct_version = 0;
    options.timeout = 1;
    options.onSuccess = &MqttImSdk::onDisconnectSuccess;
    options.onFailure = &MqttImSdk::onDisconnectFailure;
    options.context = m_session.get();
    const int rc = client ? MQTTAsync_disconnect(client, &options) : MQTTASYNC_FAILURE;
    if (rc != MQTTASYNC_SUCCESS) {
        logCritical(QStringLiteral("MQTTAsync_disconnect, errCode:%1").arg(rc));
        isDoingLogout = false;
        // A login that waited for this logout goes on now.
        if (deferred && isLoginInFuture) {
            isLoginInFuture = false;
            loginImpl();
        }
        // Refused at once, no callback follows: reported as a failed
        // logout, from the event loop, so whoever waits for the logout
        // (a re-entry into the class) learns it ended.
        const QString reason = client ? QString::fromUtf8(MQTTAsync_strerror(rc)) : QStringLiteral("no MQTT client");
        later([this, rc, reason]() { slot_logoutFailure(rc, reason); });
    } else {
        isDoingLogout = true; // only a request that was accepted ends in a callback
    }
    qInfo("connectMqtt: end logout, isDoingLogout:%d, this:%llx", isDoingLogout ? 1 : 0,
          static_cast<unsigned long long>(reinterpret_cast<quintptr>(this)));
}

void MqttImSdk::slot_loginSuccess()
{
    isDoingLogin = false;
    // Requests of an earlier connection never finish on this one.
    m_requestsInFlight.clear();
    qInfo().noquote().nospace() << QStringLiteral("connectMqtt: onLoginSuccess, isDoingLogout:%1, isLoginInFuture:%2, isDoingLogin:%3")
                                       .arg(flag(isDoingLogout), flag(isLoginInFuture), flag(isDoingLogin))
                                << ", this:" << this;
    ActionLog::instance()->NormalInfo(QStringLiteral("mqtt_login_success"),
                                      QStringLiteral("{uid:%1,isDoingLogout:%2,isLoginInFuture:%3,isDoingLogin:%4}")
                                          .arg(uid, flag(isDoingLogout), flag(isLoginInFuture), flag(isDoingLogin)));
    emit signal_loginSuccess(uid);
}

void MqttImSdk::slot_loginFailure(int errCode, QString errMsg)
{
    isDoingLogout = false;
    isLoginInFuture = false;
    isDoingLogin = false;
    qCritical().noquote().nospace()
        << QStringLiteral("connectMqtt: connectFailure, code:%1, msg:%2, uid:%3, isDoingLogout:%4,isLoginInFuture:%5,isDoingLogin:%6")
               .arg(QString::number(errCode), errMsg, QString::fromUtf8(userName), flag(isDoingLogout),
                    flag(isLoginInFuture), flag(isDoingLogin))
        << ", this:" << this;
    ActionLog::instance()->ErrorInfo(QStringLiteral("mqtt_login_failure"),
                                     QStringLiteral("{uid:%1,code:%2,errMsg:%3,isDoingLogout:%4,isLoginInFuture:%5,isDoingLogin:%6}")
                                         .arg(uid, QString::number(errCode), errMsg, flag(isDoingLogout),
                                              flag(isLoginInFuture), flag(isDoingLogin)));
    emit signal_loginFailure(errCode, errMsg);
}

void MqttImSdk::slot_logoutSuccess()
{
    qInfo().noquote().nospace() << QStringLiteral("connectMqtt: onLogoutSuccess, uid:%1,isDoingLogout:%2,isLoginInFuture:%3")
                                       .arg(uid, flag(isDoingLogout), flag(isLoginInFuture))
                                << ", this:" << this;
    ActionLog::instance()->NormalInfo(QStringLiteral("mqtt_logout_success"),
                                      QStringLiteral("{uid:%1,isDoingLogout:%2,isLoginInFuture:%3}")
                                          .arg(uid, flag(isDoingLogout), flag(isLoginInFuture)));
    isDoingLogout = false;
    if (isLoginInFuture) {
        loginImpl();
        isLoginInFuture = false;
    }
    emit signal_logoutSuccess(uid);
}

void MqttImSdk::slot_logoutFailure(int errCode, QString errMsg)
{
    isDoingLogout = false;
    qCritical().noquote().nospace() << QStringLiteral("connectMqtt: logout failure, code:%1, msg:%2, isDoingLogout:%3")
                                           .arg(QString::number(errCode), errMsg, flag(isDoingLogout))
                                    << ", this:" << this;
    ActionLog::instance()->ErrorInfo(QStringLiteral("mqtt_logout_failure"),
                                     QStringLiteral("{uid:%1, code:%2, errMsg:%3,isDoingLogout:%4,isLoginInFuture:%5}")
                                         .arg(uid, QString::number(errCode), errMsg, flag(isDoingLogout), flag(isLoginInFuture)));
    emit signal_logoutFailure(errCode, errMsg);
}

void MqttImSdk::slot_connectionLost(QString lostCause)
{
    logInfo(QStringLiteral("slot_connectionLost, {uid:%1, cause:%2}").arg(uid, lostCause));
    ActionLog::instance()->ErrorInfo(QStringLiteral("mqtt_connection_lost"), QStringLiteral("{uid:%1, cause:%2}").arg(uid, lostCause));
    emit signal_connectionLost(lostCause);
}

// --- class channel ------------------------------------------------------

void MqttImSdk::joinChannel(const QString &classId, const QString &uid)
{
    this->classId = classId;
    this->uid = uid;
    logInfo(QStringLiteral("start joinChannel, classId:%1, uid:%2").arg(classId, uid));
    ActionLog::instance()->NormalInfo(QStringLiteral("mqtt_joinchannel_start"), QStringLiteral("{channelid:%1}").arg(classId));
    requestTopic(getOwnPeerTopic(), true);
    requestTopic(getChannelTopic(), true);
    logInfo(QStringLiteral("end joinChannel, classId:%1, uid:%2").arg(classId, uid));
}

void MqttImSdk::leaveChannel()
{
    logInfo(QStringLiteral("start leaveChannel"));
    ActionLog::instance()->NormalInfo(QStringLiteral("mqtt_exitchannel_start"), QStringLiteral("{channelid:%1}").arg(classId));
    innerSendMsg(getChannelTopic(), ownEnvelope(IM_LeaveChannel));
    requestTopic(getChannelTopic(), false);
    requestTopic(getOwnPeerTopic(), false);
}

void MqttImSdk::requestTopic(const QString &topic, bool subscribe)
{
    if (topic.isEmpty()) {
        logCritical(QStringLiteral("MQTTAsync_subscribe refused: the class id or uid is not a topic level"));
        if (subscribe)
            later([this, topic]() { slot_joinChannelFailure(topic, MQTTASYNC_BAD_UTF8_STRING, QStringLiteral("not a topic level")); });
        return;
    }
    if (!client) {
        logCritical(QStringLiteral("MQTTAsync_subscribe error, errCode:%1").arg(MQTTASYNC_FAILURE));
        return;
    }
    // Held by the session before the library has it: its answer may come
    // on the library's thread before the call below returns.
    auto *request = new TopicRequest(m_session.get(), topic);
    {
        QMutexLocker lock(&m_session->mutex);
        m_session->requests.insert(request);
    }
    MQTTAsync_responseOptions options = MQTTAsync_responseOptions_initializer;
    options.onSuccess = subscribe ? &MqttImSdk::onSubscribeSuccess : &MqttImSdk::onUnsubscribeSuccess;
    options.onFailure = subscribe ? &MqttImSdk::onSubscribeFailure : &MqttImSdk::onUnsubscribeFailure;
    options.context = request;
    const QByteArray topicBytes = topic.toUtf8();
    const int rc = subscribe ? MQTTAsync_subscribe(client, topicBytes.constData(), 1, &options)
                             : MQTTAsync_unsubscribe(client, topicBytes.constData(), &options);
    if (rc != MQTTASYNC_SUCCESS) {
        // Refused at once: no callback will take the request back.
        delete takeRequest(request);
        logCritical(QStringLiteral("MQTTAsync_subscribe error, errCode:%1").arg(rc));
    } else if (!subscribe) {
        m_requestsInFlight.insert(QStringLiteral("unsubscribe ") + topic);
    }
}

void MqttImSdk::setTopicSubscribed(const QString &topic, bool value)
{
    if (topic == getChannelTopic())
        isChannelTopicSubscribed = value;
    else if (topic == getOwnPeerTopic())
        isPeerTopicSubscribed = value;
}

void MqttImSdk::slot_joinChannelSuccess(QString topic)
{
    logInfo(QStringLiteral("join channel success, classId:%1, topic:%2").arg(classId, topic));
    ActionLog::instance()->NormalInfo(QStringLiteral("mqtt_joinchannel_success"),
                                      QStringLiteral("{channelid:%1, topic:%2}").arg(classId, topic));
    setTopicSubscribed(topic, true);
    if (topic == getChannelTopic())
        innerSendMsg(getChannelTopic(), ownEnvelope(IM_JoinChannel));
    emit signal_joinChannelSuccess(classId);
}

void MqttImSdk::slot_joinChannelFailure(QString topic, int errCode, QString errMsg)
{
    logCritical(QStringLiteral("join channel failure, classId:%1, topic:%2").arg(classId, topic));
    ActionLog::instance()->ErrorInfo(QStringLiteral("mqtt_joinchannel_failure"),
                                     QStringLiteral("{channelid:%1,code:%2,errMsg:%3,topic:%4}")
                                         .arg(classId, QString::number(errCode), errMsg, topic));
    emit signal_joinChannelFailure(errCode, errMsg);
}

void MqttImSdk::slot_leaveChannelSuccess(QString topic)
{
    logInfo(QStringLiteral("leave channel success, classId:%1, topic:%2").arg(classId, topic));
    ActionLog::instance()->NormalInfo(QStringLiteral("mqtt_exitchannel_success"),
                                      QStringLiteral("{channelid:%1,topic:%2}").arg(classId, topic));
    setTopicSubscribed(topic, false);
    requestDone(QStringLiteral("unsubscribe ") + topic);
}

void MqttImSdk::slot_leaveChannelFailure(QString topic, int errCode, QString errMsg)
{
    logCritical(QStringLiteral("leave channel failure, classId:%1, topic:%2").arg(classId, topic));
    ActionLog::instance()->ErrorInfo(QStringLiteral("mqtt_exitchannel_failure"),
                                     QStringLiteral("{channelid:%1,code:%2,errMsg:%3,topic:%4}")
                                         .arg(classId, QString::number(errCode), errMsg, topic));
    requestDone(QStringLiteral("unsubscribe ") + topic);
}

// --- library callbacks (library threads) --------------------------------
// Each only converts its arguments and hands them to the GUI thread, where
// they become one internal signal while the client is still the current one.

void MqttImSdk::onConnectSuccess(void *context, MQTTAsync_successData *)
{
    auto *session = static_cast<Session *>(context);
    if (!session)
        return;
    // Small messages go out at once, before anything is sent on it.
    TcpNoDelay::setOnConnectionsToUri(session->serverUrl);
    postToSession(session, [](MqttImSdk *sdk) { emit sdk->signalLoginSuccess(); });
}

void MqttImSdk::onConnectFailure(void *context, MQTTAsync_failureData *response)
{
    if (!context)
        return;
    const int code = failureCode(response);
    const QString text = failureText(response);
    postToSession(static_cast<Session *>(context), [code, text](MqttImSdk *sdk) { emit sdk->signalLoginFailure(code, text); });
}

void MqttImSdk::onDisconnectSuccess(void *context, MQTTAsync_successData *)
{
    if (context)
        postToSession(static_cast<Session *>(context), [](MqttImSdk *sdk) { emit sdk->signalLogoutSuccess(); });
}

void MqttImSdk::onDisconnectFailure(void *context, MQTTAsync_failureData *response)
{
    if (!context)
        return;
    const int code = failureCode(response);
    const QString text = failureText(response);
    postToSession(static_cast<Session *>(context), [code, text](MqttImSdk *sdk) { emit sdk->signalLogoutFailure(code, text); });
}

void MqttImSdk::onSubscribeSuccess(void *context, MQTTAsync_successData *)
{
    std::unique_ptr<TopicRequest> request(takeRequest(context));
    if (!request)
        return;
    const QString topic = request->topic;
    postToSession(request->session, [topic](MqttImSdk *sdk) { emit sdk->signalJoinChannelSuccess(topic); });
}

void MqttImSdk::onSubscribeFailure(void *context, MQTTAsync_failureData *response)
{
    std::unique_ptr<TopicRequest> request(takeRequest(context));
    if (!request)
        return;
    const QString topic = request->topic;
    const int code = failureCode(response);
    const QString text = failureText(response);
    postToSession(request->session,
                  [topic, code, text](MqttImSdk *sdk) { emit sdk->signalJoinChannelFailure(topic, code, text); });
}

void MqttImSdk::onUnsubscribeSuccess(void *context, MQTTAsync_successData *)
{
    std::unique_ptr<TopicRequest> request(takeRequest(context));
    if (!request)
        return;
    const QString topic = request->topic;
    postToSession(request->session, [topic](MqttImSdk *sdk) { emit sdk->signalLeaveChannelSuccess(topic); });
}

void MqttImSdk::onUnsubscribeFailure(void *context, MQTTAsync_failureData *response)
{
    std::unique_ptr<TopicRequest> request(takeRequest(context));
    if (!request)
        return;
    const QString topic = request->topic;
    const int code = failureCode(response);
    const QString text = failureText(response);
    postToSession(request->session,
                  [topic, code, text](MqttImSdk *sdk) { emit sdk->signalLeaveChannelFailure(topic, code, text); });
}

void MqttImSdk::onSendSuccess(void *context, MQTTAsync_successData *response)
{
    if (!context)
        return;
    const int token = response ? response->token : 0;
    postToSession(static_cast<Session *>(context), [token](MqttImSdk *sdk) { emit sdk->signalSendMsgSuccess(token); });
}

void MqttImSdk::onSendFailure(void *context, MQTTAsync_failureData *response)
{
    if (!context)
        return;
    const int token = response ? response->token : 0;
    const int code = failureCode(response);
    const QString text = failureText(response);
    postToSession(static_cast<Session *>(context),
                  [token, code, text](MqttImSdk *sdk) { emit sdk->signalSendMsgFailure(token, code, text); });
}

int MqttImSdk::messageArrived(void *context, char *topicName, int topicLen, MQTTAsync_message *message)
{
    if (!context || !message)
        return -1;
    const QString topic = topicLen > 0 ? QString::fromUtf8(topicName, topicLen) : QString::fromUtf8(topicName);
    logInfo(QStringLiteral("receive mqtt msg, from topic:%1").arg(topic));
    const QString text = QString::fromUtf8(static_cast<const char *>(message->payload), message->payloadlen);
    postToSession(static_cast<Session *>(context), [text](MqttImSdk *sdk) { emit sdk->signalMessageArrived(text); });
    MQTTAsync_freeMessage(&message);
    MQTTAsync_free(topicName);
    return 1;
}

void MqttImSdk::deliveryComplete(void *context, MQTTAsync_token token)
{
    if (context)
        postToSession(static_cast<Session *>(context), [token](MqttImSdk *sdk) { emit sdk->signalMessageDelivered(token); });
}

void MqttImSdk::connectionLost(void *context, char *cause)
{
    if (!context)
        return;
    const QString text = cause ? QString::fromUtf8(cause) : QString();
    postToSession(static_cast<Session *>(context), [text](MqttImSdk *sdk) { emit sdk->signalConnectionLost(text); });
}
