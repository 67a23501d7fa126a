#include "rtcmediasession.h"

#include "rtcenginelog.h"
#include "rtcfileplayout.h"
#include "rtcmediaoutlet.h"
#include "rtcwebrtcpeer.h"

#include <QRandomGenerator>
#include <QTimer>

RtcMediaSession::RtcMediaSession(RtcEngineLog *log, std::shared_ptr<RtcMediaOutlet> outlet, QObject *parent)
    : QObject(parent)
    , m_log(log)
    , m_outlet(std::move(outlet))
    , m_janus(new RtcJanusClient(log, this))
    , m_retryTimer(new QTimer(this))
{
    m_retryTimer->setSingleShot(true);
    m_retryTimer->setInterval(kRetryMs);
    connect(m_retryTimer, &QTimer::timeout, this, &RtcMediaSession::connectServer);
    connect(m_janus, &RtcJanusClient::joined, this, &RtcMediaSession::joined);
    connect(m_janus, &RtcJanusClient::publisherAnswer, this, [this](const QString &sdp) {
        if (!m_publisher)
            return;
        m_publisher->acceptAnswer(sdp);
        if (!m_up) {
            m_up = true;
            m_log->write(QStringLiteral("media: our feed is sent"));
            emit up();
        }
    });
    connect(m_janus, &RtcJanusClient::feedsAppeared, this, &RtcMediaSession::feedsAppeared);
    connect(m_janus, &RtcJanusClient::feedGone, this, &RtcMediaSession::feedGone);
    connect(m_janus, &RtcJanusClient::subscriberOffer, this, &RtcMediaSession::subscriberOffer);
    connect(m_janus, &RtcJanusClient::failed, this, &RtcMediaSession::lost);
}

RtcMediaSession::~RtcMediaSession()
{
    stop();
    stopPlayout();
}

void RtcMediaSession::setFrameSink(const std::function<void(agora::rtc::uid_t, const QImage &)> &sink)
{
    m_frameSink = sink;
}

void RtcMediaSession::start(const Settings &settings)
{
    stop();
    m_audioSentBefore = 0;
    m_videoSentBefore = 0;
    m_settings = settings;
    m_active = true;
    m_feedId = QString::number(settings.uid) + QLatin1Char('-')
        + QString::number(QRandomGenerator::global()->generate64() & 0xffffffffffffULL, 16);
    connectServer();
}

void RtcMediaSession::stop()
{
    m_active = false;
    m_retryTimer->stop();
    tearDown();
    m_janus->stop();
    m_up = false;
    m_mutedPeers.clear();
}

void RtcMediaSession::connectServer()
{
    if (!m_active)
        return;
    m_log->write(QStringLiteral("media: joining room %1 at %2").arg(m_settings.room, m_settings.server.toString()));
    m_janus->start(m_settings.server, m_settings.room, m_settings.uid, m_feedId);
}

void RtcMediaSession::joined()
{
    RtcWebrtcPeer::SendOptions options;
    options.microphone = m_settings.microphone;
    options.toneHz = m_settings.toneHz;
    options.videoSize = m_settings.videoSize;
    options.framesPerSecond = m_settings.framesPerSecond;
    options.videoKbps = m_settings.videoKbps;
    // LESSONRY_TONE_HZ gives a whole client's synthetic microphone a tone of
    // its own, so a walk of two clients can tell who is heard where.
    if (qEnvironmentVariableIsSet("LESSONRY_TONE_HZ")) {
        const int hz = qEnvironmentVariableIntValue("LESSONRY_TONE_HZ");
        if (hz >= 20 && hz <= 20000)
            options.toneHz = hz;
        else
            m_log->write(QStringLiteral("media: LESSONRY_TONE_HZ is not a tone of 20 to 20000 Hz, ignored"));
    }
    QString error;
    m_publisher = RtcWebrtcPeer::createPublisher(options, m_log, &error);
    if (!m_publisher) {
        lost(error);
        return;
    }
    m_publisher->setParent(this);
    if (m_publisher->usesTone())
        m_log->write(QStringLiteral("media: no microphone to capture, a %1 Hz tone is sent").arg(options.toneHz));
    applyMicrophoneMute();
    connect(m_publisher, &RtcWebrtcPeer::localDescription, m_janus, &RtcJanusClient::publish);
    connect(m_publisher, &RtcWebrtcPeer::failed, this, [this](const QString &why) { lost(QStringLiteral("our feed: %1").arg(why)); });
    m_outlet->setPublisher(m_publisher);
    m_publisher->makeOffer();
}

void RtcMediaSession::feedsAppeared(const QList<RtcJanusClient::Feed> &feeds)
{
    for (const RtcJanusClient::Feed &feed : feeds) {
        m_feeds.insert(feed.id, feed.uid);
        m_janus->subscribe(feed);
    }
}

void RtcMediaSession::subscriberOffer(const QString &feedId, const QString &sdp)
{
    const agora::rtc::uid_t uid = m_feeds.value(feedId);
    if (uid == 0 || m_subscriptions.contains(feedId)) {
        m_log->write(QStringLiteral("media: an offer for the unknown feed %1 was dropped").arg(feedId.left(64)));
        return;
    }
    const auto sink = m_frameSink;
    QString error;
    RtcWebrtcPeer *peer = RtcWebrtcPeer::createSubscriber(m_settings.speaker, [sink, uid](const QImage &image) {
        if (sink)
            sink(uid, image);
    }, m_log, &error);
    if (!peer) {
        m_log->write(QStringLiteral("media: the feed of user %1 is not received: %2").arg(uid).arg(error));
        return;
    }
    peer->setParent(this);
    peer->setPlaybackMuted(m_mutedPeers.contains(uid));
    m_subscriptions.insert(feedId, Subscription { uid, peer });
    connect(peer, &RtcWebrtcPeer::localDescription, this, [this, feedId](const QString &answer) {
        m_janus->startSubscription(feedId, answer);
    });
    connect(peer, &RtcWebrtcPeer::firstFrame, this, [this, uid](int width, int height) { emit firstFrame(uid, width, height); });
    connect(peer, &RtcWebrtcPeer::failed, this, [this, uid](const QString &why) {
        m_log->write(QStringLiteral("media: the feed of user %1 failed: %2").arg(uid).arg(why));
    });
    m_log->write(QStringLiteral("media: receiving the feed of user %1").arg(uid));
    peer->answerOffer(sdp);
}

void RtcMediaSession::feedGone(const QString &feedId)
{
    m_feeds.remove(feedId);
    const Subscription subscription = m_subscriptions.take(feedId);
    if (subscription.peer) {
        m_log->write(QStringLiteral("media: the feed of user %1 ended").arg(subscription.uid));
        delete subscription.peer;
    }
}

void RtcMediaSession::lost(const QString &why)
{
    if (!m_active)
        return;
    const bool wasUp = m_up;
    m_log->write(QStringLiteral("media: lost (%1); trying again in %2 ms").arg(why).arg(kRetryMs));
    tearDown();
    m_janus->stop();
    m_up = false;
    m_retryTimer->start();
    if (wasUp)
        emit down(why);
}

void RtcMediaSession::tearDown()
{
    m_outlet->setPublisher(nullptr);
    if (m_publisher) {
        m_audioSentBefore += m_publisher->audioBytesSent();
        m_videoSentBefore += m_publisher->videoBytesSent();
    }
    delete m_publisher;
    m_publisher = nullptr;
    for (const Subscription &subscription : qAsConst(m_subscriptions))
        delete subscription.peer;
    m_subscriptions.clear();
    m_feeds.clear();
}

void RtcMediaSession::setDevices(const QByteArray &microphone, const QByteArray &speaker)
{
    if (microphone == m_settings.microphone && speaker == m_settings.speaker)
        return;
    m_settings.microphone = microphone;
    m_settings.speaker = speaker;
    if (!m_active)
        return;
    m_log->write(QStringLiteral("media: the sound devices changed, the feeds are made again"));
    const QSet<agora::rtc::uid_t> muted = m_mutedPeers;
    const bool wasUp = m_up;
    m_retryTimer->stop();
    tearDown();
    m_janus->stop();
    // The channel hears of it only when the server cannot be reached.
    m_up = wasUp;
    m_mutedPeers = muted;
    connectServer();
}

void RtcMediaSession::setMicrophoneMuted(bool muted)
{
    m_microphoneMuted = muted;
    applyMicrophoneMute();
}

void RtcMediaSession::applyMicrophoneMute()
{
    if (m_publisher)
        m_publisher->setMicrophoneMuted(m_microphoneMuted || (m_playout && m_playoutReplaces));
}

void RtcMediaSession::setPeerMuted(agora::rtc::uid_t uid, bool muted)
{
    if (muted)
        m_mutedPeers.insert(uid);
    else
        m_mutedPeers.remove(uid);
    for (const Subscription &subscription : qAsConst(m_subscriptions)) {
        if (subscription.uid == uid)
            subscription.peer->setPlaybackMuted(muted);
    }
}

bool RtcMediaSession::startPlayout(const QString &filePath, bool loopback, bool replace, int cycle,
                                   const QByteArray &speaker, QString *why)
{
    stopPlayout();
    const std::shared_ptr<RtcMediaOutlet> outlet = m_outlet;
    auto *playout = new RtcFilePlayout(filePath, loopback, cycle, speaker,
                                       [outlet](const QByteArray &samples) { outlet->pushPlayout(samples); }, this);
    if (!playout->start(why)) {
        delete playout;
        return false;
    }
    m_playout = playout;
    m_playoutReplaces = replace && !loopback;
    connect(playout, &RtcFilePlayout::finished, this, [this, playout] {
        if (m_playout == playout)
            stopPlayout();
    });
    connect(playout, &RtcFilePlayout::failed, this, [this, playout](const QString &failure) {
        m_log->write(QStringLiteral("media: the played file failed: %1").arg(failure));
        if (m_playout == playout)
            stopPlayout();
    });
    applyMicrophoneMute();
    return true;
}

void RtcMediaSession::pausePlayout(bool paused)
{
    if (m_playout)
        m_playout->setPaused(paused);
}

void RtcMediaSession::stopPlayout()
{
    if (!m_playout)
        return;
    RtcFilePlayout *playout = m_playout;
    m_playout = nullptr;
    m_playoutReplaces = false;
    // Possibly from its own signal: it goes once that is done.
    playout->disconnect(this);
    playout->setPaused(true);
    playout->deleteLater();
    applyMicrophoneMute();
}

quint64 RtcMediaSession::audioBytesSent() const
{
    return m_audioSentBefore + (m_publisher ? m_publisher->audioBytesSent() : 0);
}

quint64 RtcMediaSession::videoBytesSent() const
{
    return m_videoSentBefore + (m_publisher ? m_publisher->videoBytesSent() : 0);
}

int RtcMediaSession::localLevel() const
{
    return m_publisher ? m_publisher->level() : 0;
}

QHash<agora::rtc::uid_t, int> RtcMediaSession::remoteLevels() const
{
    QHash<agora::rtc::uid_t, int> levels;
    for (const Subscription &subscription : m_subscriptions)
        levels.insert(subscription.uid, qMax(levels.value(subscription.uid), subscription.peer->level()));
    return levels;
}
