#include "rtcjanusclient.h"

#include "rtcenginelog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrlQuery>

namespace {

const char kPlugin[] = "janus.plugin.videoroom";
// Enough for a class and its observers; Janus's default is 3.
const int kRoomPublishers = 64;
const int kMaxFeedsListed = 256;
// Events fetched by one long poll.
const int kEventsPerPoll = 8;
const int kRequestTimeoutMs = 10000;
// Janus answers a long poll after 30 s without events.
const int kPollTimeoutMs = 40000;
// Janus: the room exists already (another participant made it first).
const int kErrorRoomExists = 427;

QString describeReply(QNetworkReply *reply)
{
    return QStringLiteral("%1 %2").arg(reply->request().url().path(), reply->errorString());
}

} // namespace

RtcJanusClient::RtcJanusClient(RtcEngineLog *log, QObject *parent)
    : QObject(parent)
    , m_log(log)
    , m_network(new QNetworkAccessManager(this))
{
    qRegisterMetaType<RtcJanusClient::Feed>();
    qRegisterMetaType<QList<RtcJanusClient::Feed>>();
}

RtcJanusClient::~RtcJanusClient()
{
    stop();
}

void RtcJanusClient::start(const QUrl &base, const QString &room, agora::rtc::uid_t uid, const QString &feedId)
{
    stop();
    m_base = base;
    m_room = room;
    m_uid = uid;
    m_feedId = feedId;
    const int generation = m_generation;
    QJsonObject create;
    create.insert(QStringLiteral("janus"), QStringLiteral("create"));
    post(QString(), create, [this, generation](const QJsonObject &reply) {
        if (generation != m_generation)
            return;
        const double id = reply.value(QStringLiteral("data")).toObject().value(QStringLiteral("id")).toDouble();
        if (reply.value(QStringLiteral("janus")).toString() != QLatin1String("success") || id < 1) {
            fail(QStringLiteral("the server made no session"));
            return;
        }
        m_session = quint64(id);
        poll();
        attach([this](const QJsonObject &attached) {
            m_publisher = quint64(attached.value(QStringLiteral("data")).toObject().value(QStringLiteral("id")).toDouble());
            ensureRoom();
        });
    });
}

void RtcJanusClient::stop()
{
    ++m_generation;
    if (m_poll) {
        QNetworkReply *poll = m_poll;
        m_poll = nullptr;
        poll->abort();
    }
    if (m_session != 0) {
        // Tells the server at once that we are gone; the answer does not matter.
        QJsonObject destroy;
        destroy.insert(QStringLiteral("janus"), QStringLiteral("destroy"));
        destroy.insert(QStringLiteral("transaction"), QStringLiteral("bye"));
        QUrl url = m_base;
        url.setPath(m_base.path() + QLatin1Char('/') + QString::number(m_session));
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        QNetworkReply *reply = m_network->post(request, QJsonDocument(destroy).toJson(QJsonDocument::Compact));
        connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    }
    m_session = 0;
    m_publisher = 0;
    m_subscribers.clear();
    m_feedHandles.clear();
}

void RtcJanusClient::fail(const QString &why)
{
    m_log->write(QStringLiteral("media server: %1").arg(why));
    stop();
    emit failed(why);
}

QString RtcJanusClient::handlePath(quint64 handle) const
{
    return QLatin1Char('/') + QString::number(m_session) + QLatin1Char('/') + QString::number(handle);
}

void RtcJanusClient::watchSize(QNetworkReply *reply)
{
    // Refused before it is read whole: a reply larger than any answer
    // Janus gives is not kept in memory.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > kMaxReplyBytes || total > kMaxReplyBytes) {
            reply->setProperty("lessonryOversized", true);
            reply->abort();
        }
    });
}

QJsonObject RtcJanusClient::readReply(QNetworkReply *reply, QString *why)
{
    if (reply->property("lessonryOversized").toBool()) {
        *why = QStringLiteral("an answer of more than %1 bytes was refused").arg(kMaxReplyBytes);
        return QJsonObject();
    }
    if (reply->error() != QNetworkReply::NoError) {
        *why = describeReply(reply);
        return QJsonObject();
    }
    const QByteArray body = reply->read(kMaxReplyBytes + 1);
    if (body.size() > kMaxReplyBytes) {
        *why = QStringLiteral("an answer of more than %1 bytes was refused").arg(kMaxReplyBytes);
        return QJsonObject();
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError) {
        *why = QStringLiteral("an answer that is not JSON was refused (%1)").arg(error.errorString());
        return QJsonObject();
    }
    if (document.isArray()) {
        // A long poll's events, handed back one by one by the caller.
        QJsonObject wrapped;
        wrapped.insert(QStringLiteral("events"), document.array());
        return wrapped;
    }
    if (!document.isObject()) {
        *why = QStringLiteral("an answer that is not a JSON object was refused");
        return QJsonObject();
    }
    return document.object();
}

void RtcJanusClient::post(const QString &path, QJsonObject body, const Handler &onReply)
{
    body.insert(QStringLiteral("transaction"), QString::number(++m_transaction));
    QUrl url = m_base;
    url.setPath(m_base.path() + path);
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setTransferTimeout(kRequestTimeoutMs);
    QNetworkReply *reply = m_network->post(request, QJsonDocument(body).toJson(QJsonDocument::Compact));
    watchSize(reply);
    const int generation = m_generation;
    connect(reply, &QNetworkReply::finished, this, [this, reply, generation, onReply] {
        reply->deleteLater();
        if (generation != m_generation)
            return;
        QString why;
        const QJsonObject answer = readReply(reply, &why);
        if (answer.isEmpty()) {
            fail(why);
            return;
        }
        if (answer.value(QStringLiteral("janus")).toString() == QLatin1String("error")) {
            const QJsonObject error = answer.value(QStringLiteral("error")).toObject();
            fail(QStringLiteral("refused: %1 %2").arg(error.value(QStringLiteral("code")).toInt())
                     .arg(error.value(QStringLiteral("reason")).toString().left(200)));
            return;
        }
        onReply(answer);
    });
}

void RtcJanusClient::attach(const Handler &onAttached)
{
    QJsonObject attach;
    attach.insert(QStringLiteral("janus"), QStringLiteral("attach"));
    attach.insert(QStringLiteral("plugin"), QLatin1String(kPlugin));
    post(QLatin1Char('/') + QString::number(m_session), attach, [this, onAttached](const QJsonObject &reply) {
        if (reply.value(QStringLiteral("data")).toObject().value(QStringLiteral("id")).toDouble() < 1) {
            fail(QStringLiteral("the server attached no handle"));
            return;
        }
        onAttached(reply);
    });
}

void RtcJanusClient::ensureRoom()
{
    QJsonObject body;
    body.insert(QStringLiteral("request"), QStringLiteral("create"));
    body.insert(QStringLiteral("room"), m_room);
    body.insert(QStringLiteral("publishers"), kRoomPublishers);
    body.insert(QStringLiteral("audiocodec"), QStringLiteral("opus"));
    body.insert(QStringLiteral("videocodec"), QStringLiteral("vp8"));
    body.insert(QStringLiteral("notify_joining"), false);
    QJsonObject message;
    message.insert(QStringLiteral("janus"), QStringLiteral("message"));
    message.insert(QStringLiteral("body"), body);
    post(handlePath(m_publisher), message, [this](const QJsonObject &reply) {
        const QJsonObject data = reply.value(QStringLiteral("plugindata")).toObject().value(QStringLiteral("data")).toObject();
        const int code = data.value(QStringLiteral("error_code")).toInt();
        // Made now, or made by the first participant already: either way it is there.
        if (code != 0 && code != kErrorRoomExists) {
            fail(QStringLiteral("the room was not made: %1").arg(data.value(QStringLiteral("error")).toString().left(200)));
            return;
        }
        joinRoom();
    });
}

void RtcJanusClient::joinRoom()
{
    QJsonObject body;
    body.insert(QStringLiteral("request"), QStringLiteral("join"));
    body.insert(QStringLiteral("ptype"), QStringLiteral("publisher"));
    body.insert(QStringLiteral("room"), m_room);
    body.insert(QStringLiteral("id"), m_feedId);
    body.insert(QStringLiteral("display"), QString::number(m_uid));
    QJsonObject message;
    message.insert(QStringLiteral("janus"), QStringLiteral("message"));
    message.insert(QStringLiteral("body"), body);
    // Acknowledged here; "joined" comes as an event.
    post(handlePath(m_publisher), message, [](const QJsonObject &) {});
}

void RtcJanusClient::postWithSdp(quint64 handle, const QString &request, const QString &type, const QString &sdp)
{
    QJsonObject body;
    body.insert(QStringLiteral("request"), request);
    QJsonObject jsep;
    jsep.insert(QStringLiteral("type"), type);
    jsep.insert(QStringLiteral("sdp"), sdp);
    QJsonObject message;
    message.insert(QStringLiteral("janus"), QStringLiteral("message"));
    message.insert(QStringLiteral("body"), body);
    message.insert(QStringLiteral("jsep"), jsep);
    // Acknowledged here; the outcome comes as an event.
    post(handlePath(handle), message, [](const QJsonObject &) {});
}

void RtcJanusClient::publish(const QString &offerSdp)
{
    if (m_publisher != 0)
        postWithSdp(m_publisher, QStringLiteral("publish"), QStringLiteral("offer"), offerSdp);
}

void RtcJanusClient::subscribe(const Feed &feed)
{
    if (m_session == 0 || m_feedHandles.contains(feed.id))
        return;
    m_feedHandles.insert(feed.id, 0);
    const int generation = m_generation;
    attach([this, feed, generation](const QJsonObject &attached) {
        if (generation != m_generation || !m_feedHandles.contains(feed.id))
            return;
        const quint64 handle = quint64(attached.value(QStringLiteral("data")).toObject().value(QStringLiteral("id")).toDouble());
        m_feedHandles.insert(feed.id, handle);
        m_subscribers.insert(handle, feed.id);
        QJsonObject stream;
        stream.insert(QStringLiteral("feed"), feed.id);
        QJsonObject body;
        body.insert(QStringLiteral("request"), QStringLiteral("join"));
        body.insert(QStringLiteral("ptype"), QStringLiteral("subscriber"));
        body.insert(QStringLiteral("room"), m_room);
        body.insert(QStringLiteral("streams"), QJsonArray { stream });
        QJsonObject message;
        message.insert(QStringLiteral("janus"), QStringLiteral("message"));
        message.insert(QStringLiteral("body"), body);
        post(handlePath(handle), message, [](const QJsonObject &) {});
    });
}

void RtcJanusClient::startSubscription(const QString &feedId, const QString &answerSdp)
{
    const quint64 handle = m_feedHandles.value(feedId);
    if (handle != 0)
        postWithSdp(handle, QStringLiteral("start"), QStringLiteral("answer"), answerSdp);
}

void RtcJanusClient::unsubscribe(const QString &feedId)
{
    const quint64 handle = m_feedHandles.take(feedId);
    if (handle == 0)
        return;
    m_subscribers.remove(handle);
    QJsonObject detach;
    detach.insert(QStringLiteral("janus"), QStringLiteral("detach"));
    // A failed detach of a handle we no longer use ends nothing.
    QJsonObject body = detach;
    body.insert(QStringLiteral("transaction"), QString::number(++m_transaction));
    QUrl url = m_base;
    url.setPath(m_base.path() + handlePath(handle));
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    QNetworkReply *reply = m_network->post(request, QJsonDocument(body).toJson(QJsonDocument::Compact));
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

void RtcJanusClient::poll()
{
    if (m_session == 0 || m_poll)
        return;
    QUrl url = m_base;
    url.setPath(m_base.path() + QLatin1Char('/') + QString::number(m_session));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("maxev"), QString::number(kEventsPerPoll));
    url.setQuery(query);
    QNetworkRequest request(url);
    request.setTransferTimeout(kPollTimeoutMs);
    m_poll = m_network->get(request);
    watchSize(m_poll);
    QNetworkReply *reply = m_poll;
    const int generation = m_generation;
    connect(reply, &QNetworkReply::finished, this, [this, reply, generation] {
        reply->deleteLater();
        if (generation != m_generation || reply != m_poll)
            return;
        m_poll = nullptr;
        QString why;
        const QJsonObject answer = readReply(reply, &why);
        if (answer.isEmpty()) {
            fail(why);
            return;
        }
        const QJsonArray events = answer.contains(QStringLiteral("events"))
            ? answer.value(QStringLiteral("events")).toArray() : QJsonArray { answer };
        for (const QJsonValue &event : events) {
            if (generation != m_generation)
                return;
            if (!event.isObject()) {
                m_log->write(QStringLiteral("media server: an event that is not an object was dropped"));
                continue;
            }
            handleEvent(event.toObject());
        }
        if (generation == m_generation)
            poll();
    });
}

void RtcJanusClient::handleEvent(const QJsonObject &event)
{
    const QString kind = event.value(QStringLiteral("janus")).toString();
    if (kind == QLatin1String("keepalive") || kind == QLatin1String("ack") || kind == QLatin1String("webrtcup")
        || kind == QLatin1String("media") || kind == QLatin1String("slowlink"))
        return;
    if (kind == QLatin1String("error")) {
        // The session is gone (the server restarted, or timed us out).
        fail(QStringLiteral("refused: %1").arg(event.value(QStringLiteral("error")).toObject()
                                                  .value(QStringLiteral("reason")).toString().left(200)));
        return;
    }
    const quint64 sender = quint64(event.value(QStringLiteral("sender")).toDouble());
    if (kind == QLatin1String("hangup") || kind == QLatin1String("detached")) {
        if (sender == m_publisher) {
            fail(QStringLiteral("the server hung up our feed"));
            return;
        }
        const QString feed = m_subscribers.value(sender);
        if (!feed.isEmpty()) {
            unsubscribe(feed);
            emit feedGone(feed);
        }
        return;
    }
    if (kind != QLatin1String("event"))
        return;
    const QJsonObject data = event.value(QStringLiteral("plugindata")).toObject().value(QStringLiteral("data")).toObject();
    if (sender == m_publisher)
        handlePublisherEvent(event, data);
    else if (m_subscribers.contains(sender))
        handleSubscriberEvent(m_subscribers.value(sender), event, data);
    else
        m_log->write(QStringLiteral("media server: an event for an unknown handle was dropped"));
}

void RtcJanusClient::handlePublisherEvent(const QJsonObject &event, const QJsonObject &data)
{
    const QString what = data.value(QStringLiteral("videoroom")).toString();
    if (data.contains(QStringLiteral("error_code"))) {
        fail(QStringLiteral("the room refused us: %1").arg(data.value(QStringLiteral("error")).toString().left(200)));
        return;
    }
    if (what == QLatin1String("joined")) {
        emit joined();
        addFeeds(data.value(QStringLiteral("publishers")));
        return;
    }
    if (event.contains(QStringLiteral("jsep"))) {
        QString why;
        const QString sdp = readSdp(event, QStringLiteral("answer"), &why);
        if (sdp.isEmpty()) {
            fail(QStringLiteral("our feed's answer was refused: %1").arg(why));
            return;
        }
        emit publisherAnswer(sdp);
    }
    if (data.contains(QStringLiteral("publishers")))
        addFeeds(data.value(QStringLiteral("publishers")));
    for (const char *key : { "unpublished", "leaving" }) {
        const QJsonValue gone = data.value(QLatin1String(key));
        if (!gone.isString())
            continue;
        const QString feed = gone.toString();
        if (feed == m_feedId || !m_feedHandles.contains(feed))
            continue;
        unsubscribe(feed);
        emit feedGone(feed);
    }
}

void RtcJanusClient::handleSubscriberEvent(const QString &feedId, const QJsonObject &event, const QJsonObject &data)
{
    if (data.contains(QStringLiteral("error_code"))) {
        m_log->write(QStringLiteral("media server: the feed %1 was refused: %2").arg(feedId, data.value(QStringLiteral("error")).toString().left(200)));
        unsubscribe(feedId);
        emit feedGone(feedId);
        return;
    }
    if (data.value(QStringLiteral("videoroom")).toString() != QLatin1String("attached"))
        return;
    QString why;
    const QString sdp = readSdp(event, QStringLiteral("offer"), &why);
    if (sdp.isEmpty()) {
        m_log->write(QStringLiteral("media server: the offer for feed %1 was refused: %2").arg(feedId, why));
        unsubscribe(feedId);
        emit feedGone(feedId);
        return;
    }
    emit subscriberOffer(feedId, sdp);
}

void RtcJanusClient::addFeeds(const QJsonValue &publishers)
{
    if (!publishers.isArray()) {
        if (!publishers.isUndefined())
            m_log->write(QStringLiteral("media server: a publishers list that is not a list was dropped"));
        return;
    }
    const QJsonArray list = publishers.toArray();
    if (list.size() > kMaxFeedsListed) {
        m_log->write(QStringLiteral("media server: a list of %1 publishers was refused").arg(list.size()));
        return;
    }
    QList<Feed> feeds;
    for (const QJsonValue &entry : list) {
        Feed feed;
        QString why;
        if (!readFeed(entry, &feed, &why)) {
            m_log->write(QStringLiteral("media server: a publisher was dropped: %1").arg(why));
            continue;
        }
        if (feed.id == m_feedId || feed.uid == m_uid || m_feedHandles.contains(feed.id))
            continue;
        feeds.append(feed);
    }
    if (!feeds.isEmpty())
        emit feedsAppeared(feeds);
}

bool RtcJanusClient::readFeed(const QJsonValue &entry, Feed *feed, QString *why)
{
    const QJsonObject object = entry.toObject();
    const QJsonValue id = object.value(QStringLiteral("id"));
    if (!id.isString() || id.toString().isEmpty() || id.toString().toUtf8().size() > kMaxFeedIdBytes) {
        *why = QStringLiteral("its id is not a text of 1 to %1 bytes").arg(kMaxFeedIdBytes);
        return false;
    }
    bool ok = false;
    const QString display = object.value(QStringLiteral("display")).toString();
    const uint uid = display.toUInt(&ok);
    if (!ok || uid == 0 || display != QString::number(uid)) {
        *why = QStringLiteral("its display name is not a uid");
        return false;
    }
    feed->id = id.toString();
    feed->uid = uid;
    return true;
}

QString RtcJanusClient::readSdp(const QJsonObject &message, const QString &type, QString *why)
{
    const QJsonObject jsep = message.value(QStringLiteral("jsep")).toObject();
    if (jsep.value(QStringLiteral("type")).toString() != type) {
        *why = QStringLiteral("not an %1").arg(type);
        return QString();
    }
    const QJsonValue sdp = jsep.value(QStringLiteral("sdp"));
    if (!sdp.isString()) {
        *why = QStringLiteral("no SDP text");
        return QString();
    }
    const QString text = sdp.toString();
    if (text.toUtf8().size() > kMaxSdpBytes) {
        *why = QStringLiteral("an SDP of more than %1 bytes").arg(kMaxSdpBytes);
        return QString();
    }
    if (!text.startsWith(QLatin1String("v=0"))) {
        *why = QStringLiteral("not an SDP text");
        return QString();
    }
    return text;
}
