#ifndef RTCJANUSCLIENT_H
#define RTCJANUSCLIENT_H

#include "rtcbase.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class RtcEngineLog;

// One participant's session on a Janus server over its HTTP API (long
// poll): the VideoRoom room of the channel (created when missing), our
// publisher in it and one subscriber handle per other publisher. Speaks
// SDP only; the media are someone else's. Everything Janus answers is
// bounded before it is parsed: a reply over kMaxReplyBytes, a text that is
// not a JSON object, an SDP over kMaxSdpBytes or a feed that does not name
// a uid is refused with a log line and changes nothing.
class RtcJanusClient : public QObject
{
    Q_OBJECT

public:
    static const int kMaxReplyBytes = 1024 * 1024;
    static const int kMaxSdpBytes = 64 * 1024;
    static const int kMaxFeedIdBytes = 128;

    struct Feed
    {
        QString id;
        agora::rtc::uid_t uid = 0;
    };

    RtcJanusClient(RtcEngineLog *log, QObject *parent = nullptr);
    ~RtcJanusClient() override;

    // base: "http://host:port/janus". Reports joined() or failed().
    void start(const QUrl &base, const QString &room, agora::rtc::uid_t uid, const QString &feedId);
    // Ends the session on the server (without waiting) and forgets it.
    void stop();
    bool isActive() const { return m_session != 0; }

    void publish(const QString &offerSdp);
    void subscribe(const Feed &feed);
    void startSubscription(const QString &feedId, const QString &answerSdp);
    void unsubscribe(const QString &feedId);

    // Parses a feed's entry of a publishers list; false (with why) for one
    // that is not ours to subscribe to.
    static bool readFeed(const QJsonValue &entry, Feed *feed, QString *why);
    // An SDP text from Janus's "jsep"; empty (with why) when refused.
    static QString readSdp(const QJsonObject &message, const QString &type, QString *why);

signals:
    void joined();
    void publisherAnswer(const QString &sdp);
    void feedsAppeared(const QList<RtcJanusClient::Feed> &feeds);
    void feedGone(const QString &feedId);
    void subscriberOffer(const QString &feedId, const QString &sdp);
    // The session is over (the server is gone or refused us); the owner
    // starts again when it wants.
    void failed(const QString &why);

private:
    typedef std::function<void(const QJsonObject &)> Handler;

    void post(const QString &path, QJsonObject body, const Handler &onReply);
    void postWithSdp(quint64 handle, const QString &request, const QString &type, const QString &sdp);
    void poll();
    void handleEvent(const QJsonObject &event);
    void handlePublisherEvent(const QJsonObject &event, const QJsonObject &data);
    void handleSubscriberEvent(const QString &feedId, const QJsonObject &event, const QJsonObject &data);
    void attach(const Handler &onAttached);
    void ensureRoom();
    void joinRoom();
    void addFeeds(const QJsonValue &publishers);
    void fail(const QString &why);
    // The JSON object of a finished reply; an empty one (logged) when refused.
    QJsonObject readReply(QNetworkReply *reply, QString *why);
    QString handlePath(quint64 handle) const;
    void watchSize(QNetworkReply *reply);

    RtcEngineLog *m_log;
    QNetworkAccessManager *m_network;
    QUrl m_base;
    QString m_room;
    agora::rtc::uid_t m_uid = 0;
    QString m_feedId;
    quint64 m_session = 0;
    quint64 m_publisher = 0;
    QHash<quint64, QString> m_subscribers; // handle -> feed id
    QHash<QString, quint64> m_feedHandles;  // feed id -> handle
    QNetworkReply *m_poll = nullptr;
    int m_generation = 0;
    quint64 m_transaction = 0;
};

Q_DECLARE_METATYPE(RtcJanusClient::Feed)

#endif // RTCJANUSCLIENT_H
