#ifndef MQTTIMSDK_H
#define MQTTIMSDK_H

#include "mgr/message/receivedenvelope.h"

#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <MQTTAsync.h>

// The classroom's MQTT transport over the Paho asynchronous client. One
// library client per signed-in user (init/destory); the classroom logs in,
// joins the class topics and leaves them again. Library callbacks run on
// the library's threads and only hand their result to the GUI thread, where
// it is emitted as an internal signal reaching the matching slot, unless
// the client it came from has been replaced meanwhile; all members are
// touched on the GUI thread only.
class QTimer;

class MqttImSdk : public QObject
{
    Q_OBJECT

public:
    explicit MqttImSdk(QObject *parent = nullptr);
    ~MqttImSdk() override;

    static MqttImSdk *instance();

    // Creates the library client for the broker of the server environment,
    // client id by role and uid. Connects nothing.
    void init(const QString &id);
    // Destroys the library client without a disconnect, so the broker
    // publishes the last will of a live connection.
    void destory();

    bool isConnected();
    bool isInChannel();

    void login(const QString &classId, const QString &uid, const QString &password);
    void logout();
    void joinChannel(const QString &classId, const QString &uid);
    void leaveChannel();

    // Each returns the publish token, or -1 when the library refused the
    // publish at once (no client, not connected, ...).
    int innerSendMsg(const QString &topic, const QString &content);
    int sendChannelMsg(const QString &content);
    int sendPeerMsg(const QString &peerUid, const QString &content);
    int sendMsgToServer(const QString &content);

    // The client id of the last init; whether a library client exists.
    QString clientId() const { return m_clientId; }
    bool hasClient() const { return client != nullptr; }
    // Subscribe and unsubscribe requests of any client whose outcome has
    // not come yet (for tests: none stay once their client is gone).
    static int pendingTopicRequests();

signals:
    // Internal: emitted by the library callbacks on library threads.
    void signalLoginSuccess();
    void signalLoginFailure(int errCode, QString errMsg);
    void signalLogoutSuccess();
    void signalLogoutFailure(int errCode, QString errMsg);
    void signalJoinChannelSuccess(QString topic);
    void signalJoinChannelFailure(QString topic, int errCode, QString errMsg);
    void signalLeaveChannelSuccess(QString topic);
    void signalLeaveChannelFailure(QString topic, int errCode, QString errMsg);
    void signalSendMsgSuccess(int token);
    void signalSendMsgFailure(int token, int errCode, QString errMsg);
    void signalMessageArrived(QString strMsg);
    void signalMessageDelivered(int token);
    void signalConnectionLost(QString lostCause);

    // Public, emitted on the GUI thread.
    // A message of somebody else, read once here (a text that is no JSON,
    // one too long and one's own are dropped with a log line).
    void signal_envelopeArrived(const ReceivedEnvelope &envelope);
    void signal_connectionLost(QString lostCause);
    void signal_loginSuccess(QString uid);
    void signal_loginFailure(int errCode, QString errMsg);
    void signal_logoutSuccess(QString uid);
    void signal_logoutFailure(int errCode, QString errMsg);
    void signal_sendMsgSuccess(int token);
    void signal_sendMsgFailure(int token, int errCode, QString errMsg);
    void signal_joinChannelSuccess(QString classId);
    void signal_joinChannelFailure(int errCode, QString errMsg);
    void signal_channelUserJoined(QString uid);
    void signal_channelUserLeaved(QString uid);

private slots:
    void slot_loginSuccess();
    void slot_loginFailure(int errCode, QString errMsg);
    void slot_logoutSuccess();
    void slot_logoutFailure(int errCode, QString errMsg);
    void slot_joinChannelSuccess(QString topic);
    void slot_joinChannelFailure(QString topic, int errCode, QString errMsg);
    void slot_leaveChannelSuccess(QString topic);
    void slot_leaveChannelFailure(QString topic, int errCode, QString errMsg);
    void slot_sendMsgSuccess(int token);
    void slot_sendMsgFailure(int token, int errCode, QString errMsg);
    void slot_messageArrived(QString strMsg);
    void slot_messageDelivered(int token);
    void slot_connectionLost(QString lostCause);
    void slot_channelUserJoined(QString uid);
    void slot_channelUserLeaved(QString uid);

private:
    struct Session;
    struct TopicRequest;

    // Library callbacks; context is the session of the client (the topic
    // requests carry a small record naming the session and the topic).
    static void onConnectSuccess(void *context, MQTTAsync_successData *response);
    static void onConnectFailure(void *context, MQTTAsync_failureData *response);
    static void onDisconnectSuccess(void *context, MQTTAsync_successData *response);
    static void onDisconnectFailure(void *context, MQTTAsync_failureData *response);
    static void onSubscribeSuccess(void *context, MQTTAsync_successData *response);
    static void onSubscribeFailure(void *context, MQTTAsync_failureData *response);
    static void onUnsubscribeSuccess(void *context, MQTTAsync_successData *response);
    static void onUnsubscribeFailure(void *context, MQTTAsync_failureData *response);
    static void onSendSuccess(void *context, MQTTAsync_successData *response);
    static void onSendFailure(void *context, MQTTAsync_failureData *response);
    static int messageArrived(void *context, char *topicName, int topicLen, MQTTAsync_message *message);
    static void deliveryComplete(void *context, MQTTAsync_token token);
    static void connectionLost(void *context, char *cause);

    // Runs call on the GUI thread unless the session's client has been
    // replaced by then: what an old client reports never reaches a new one.
    static void postToSession(Session *session, std::function<void(MqttImSdk *)> call);
    // The same for what this object itself reports later from the event
    // loop (a request the library refused at once).
    void later(std::function<void()> call);
    // A topic request's record back from the library: taken out of its
    // session; null when the session no longer holds it.
    static TopicRequest *takeRequest(void *context);

    void loginImpl();
    void setTopicSubscribed(const QString &topic, bool value);
    QString getServerUrl() const;
    QString getChannelTopic() const;
    QString getOwnPeerTopic() const;
    QString getPeerTopic(const QString &peerUid) const;
    static QString getServerTopic();
    // Subscribes (or unsubscribes) one topic; logs a refusal.
    void requestTopic(const QString &topic, bool subscribe);
    QString ownEnvelope(int type);
    void wireSignals();
    // A publish the library refused at once ends like one that failed.
    void reportRefusedSend(int errCode, const QString &errMsg);
    // The disconnect of logout(), once the leave's requests are done.
    void disconnectNow();
    void requestDone(const QString &request);

    MQTTAsync client = nullptr;
    QString classId;
    QString uid;
    bool isChannelTopicSubscribed = false;
    bool isPeerTopicSubscribed = false;
    bool isDoingLogout = false;
    bool isLoginInFuture = false;
    bool isDoingLogin = false;
    // Bytes handed to the library stay alive until the next init/login.
    QByteArray serverUrl;
    QByteArray userName;
    QByteArray password;
    QByteArray m_clientIdBytes;
    QByteArray m_willTopic;
    QByteArray m_willMessage;
    QString m_clientId;
    bool m_signalsWired = false;
    // The context of the current client's callbacks, and those of earlier
    // clients (a callback that raced their destruction still finds its
    // context; each is a few bytes and there is one per init).
    std::unique_ptr<Session> m_session;
    std::vector<std::unique_ptr<Session>> m_retiredSessions;
    quint64 m_sessionId = 0;
    // Publishes and unsubscribes still in flight; a logout waits for them.
    QSet<QString> m_requestsInFlight;
    bool m_logoutAfterRequests = false;
    QTimer *m_requestsWait = nullptr;
};

#endif // MQTTIMSDK_H
