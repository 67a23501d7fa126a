#include "rtcchannel.h"

#include "rtcenginelog.h"
#include "rtclatestframes.h"
#include "rtcmediasession.h"
#include "rtcmicrophonemeter.h"
#include "rtcrelayclient.h"
#include "rtcsoundplayer.h"
#include "rtcstreampacket.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include <cmath>
#include <vector>

namespace {

const int kKeepAliveSeconds = 10;
const int kRetryIntervalMs = 2000;
const int kStatsIntervalMs = 2000;
const int kDefaultConnectionLostMs = 10000;
const int kDisconnectTimeoutMs = 1000;
const int kLeaveConfirmMs = 2000;
const int kQualityGood = 1;
const int kQualityDown = 6;

// Hands the relay's news from the library's threads to the channel's
// thread, marked with the join it belongs to.
class RelayBridge : public RtcRelayListener
{
public:
    RelayBridge(RtcChannel *channel, int generation) : m_channel(channel), m_generation(generation) {}

    void relayConnected(bool) override
    {
        post([](RtcChannel *c, int g) { c->relayConnected(g); });
    }
    void relayConnectFailed(const QString &cause) override
    {
        post([cause](RtcChannel *c, int g) { c->relayConnectFailed(g, cause); });
    }
    void relayConnectionLost(const QString &cause) override
    {
        post([cause](RtcChannel *c, int g) { c->relayConnectionLost(g, cause); });
    }
    void relaySubscribed(bool ok) override
    {
        post([ok](RtcChannel *c, int g) { c->relaySubscribed(g, ok); });
    }
    void relayMessage(const QByteArray &topic, const QByteArray &payload) override
    {
        post([topic, payload](RtcChannel *c, int g) { c->relayMessage(g, topic, payload); });
    }

private:
    template<typename F>
    void post(F f)
    {
        QPointer<RtcChannel> channel = m_channel;
        const int generation = m_generation;
        QMetaObject::invokeMethod(m_channel, [channel, generation, f] {
            if (channel && !channel->isAbandoned())
                f(channel.data(), generation);
        }, Qt::QueuedConnection);
    }

    RtcChannel *m_channel;
    int m_generation;
};

} // namespace

void RtcChannel::abandon()
{
    m_abandoned = true;
}

bool RtcChannel::isAbandoned() const
{
    return m_abandoned;
}

RtcChannel::RtcChannel(RtcEngineLog *log, std::atomic<quint64> *txBytes, std::shared_ptr<RtcMediaOutlet> outlet,
                       QObject *parent)
    : QObject(parent)
    , m_log(log)
    , m_txBytes(txBytes)
    , m_retryTimer(new QTimer(this))
    , m_volumeTimer(new QTimer(this))
    , m_statsTimer(new QTimer(this))
    , m_lostTimer(new QTimer(this))
    , m_recordingTestTimer(new QTimer(this))
    , m_microphone(new RtcMicrophoneMeter(this))
    , m_soundPlayer(new RtcSoundPlayer(this))
    , m_media(new RtcMediaSession(log, std::move(outlet), this))
{
    connect(m_media, &RtcMediaSession::up, this, &RtcChannel::mediaUp);
    connect(m_media, &RtcMediaSession::down, this, &RtcChannel::mediaDown);
    connect(m_media, &RtcMediaSession::firstFrame, this, &RtcChannel::firstFrame);
    connect(m_recordingTestTimer, &QTimer::timeout, this, &RtcChannel::reportRecordingLevel);
    m_retryTimer->setSingleShot(true);
    m_retryTimer->setInterval(kRetryIntervalMs);
    connect(m_retryTimer, &QTimer::timeout, this, &RtcChannel::startConnect);
    m_volumeTimer->setInterval(0);
    connect(m_volumeTimer, &QTimer::timeout, this, &RtcChannel::reportVolumes);
    m_statsTimer->setInterval(kStatsIntervalMs);
    connect(m_statsTimer, &QTimer::timeout, this, &RtcChannel::reportStats);
    m_lostTimer->setSingleShot(true);
    m_lostTimer->setInterval(kDefaultConnectionLostMs);
    connect(m_lostTimer, &QTimer::timeout, this, [this] {
        if (m_state != Interrupted)
            return;
        m_log->write(QStringLiteral("connection lost"));
        if (m_handler)
            m_handler->onConnectionLost();
    });
}

RtcChannel::~RtcChannel()
{
    shutdown();
    // Its pipelines end before the channel they report to.
    delete m_media;
}

void RtcChannel::setHandler(agora::rtc::IRtcEngineEventHandler *handler)
{
    m_handler = handler;
}

void RtcChannel::setVolumeIndicationInterval(int ms)
{
    m_volumeTimer->setInterval(qMax(0, ms));
    if (ms <= 0)
        m_volumeTimer->stop();
    else if (m_state == Joined || m_state == Interrupted)
        m_volumeTimer->start();
}

void RtcChannel::setConnectionLostTimeout(int ms)
{
    m_lostTimer->setInterval(qMax(1, ms));
}

void RtcChannel::setFrameSink(const std::function<void(agora::rtc::uid_t, const QImage &)> &sink)
{
    m_media->setFrameSink(sink);
}

void RtcChannel::setRecordingTestInterval(int ms, const QByteArray &microphoneId)
{
    if (ms <= 0) {
        m_recordingTestTimer->stop();
        m_microphone->stop();
        return;
    }
    m_microphone->start(microphoneId);
    m_recordingTestTimer->setInterval(ms);
    m_recordingTestClock.start();
    m_recordingTestTimer->start();
}

void RtcChannel::reportRecordingLevel()
{
    if (!m_handler)
        return;
    const int heard = m_microphone->takeLevel();
    unsigned int level = 0;
    if (heard >= 0) {
        level = unsigned(heard);
    } else {
        // The synthetic microphone: a voice-like level that rises and
        // falls, so a level meter visibly moves.
        const double t = double(m_recordingTestClock.elapsed()) / 1000.0;
        const double envelope = 0.55 + 0.45 * std::sin(t * 0.9);
        level = unsigned(20 + 200 * envelope * std::fabs(std::sin(t * 5.0)));
    }
    const agora::rtc::AudioVolumeInfo speaker { 0, level };
    m_handler->onAudioVolumeIndication(&speaker, 1, int(level));
}

void RtcChannel::join(const RtcJoinRequest &request)
{
    endSession();
    m_request = request;
    ++m_generation;
    m_state = Connecting;
    m_errorReported = false;
    m_since.start();
    m_rxBytes = 0;
    m_lastTx = m_txBytes->load();
    m_lastRx = 0;
    m_lastAudioTx = 0;
    m_lastVideoTx = 0;
    m_lastStatsMs = 0;
    m_bridge.reset(new RelayBridge(this, m_generation));
    m_request.relay->setListener(m_bridge.get());
    m_log->write(QStringLiteral("join channel %1 as %2").arg(QString::fromUtf8(m_request.channel)).arg(m_request.uid));
    startConnect();
    if (m_request.mediaServer.isValid()) {
        RtcMediaSession::Settings settings;
        settings.server = m_request.mediaServer;
        settings.room = QString::fromUtf8(m_request.channel);
        settings.uid = m_request.uid;
        settings.microphone = m_request.microphone;
        settings.speaker = m_request.speaker;
        settings.toneHz = m_request.toneHz;
        settings.videoSize = m_request.videoSize;
        settings.framesPerSecond = m_request.framesPerSecond;
        settings.videoKbps = m_request.videoKbps;
        m_media->start(settings);
    } else {
        m_log->write(QStringLiteral("no media server is set: no sound or pictures are carried"));
    }
}

void RtcChannel::startConnect()
{
    if (m_state != Connecting || !m_request.relay)
        return;
    if (!m_request.relay->connect(m_request.topicPrefix + "member/" + QByteArray::number(m_request.uid),
                                  memberPayload("dropped"), kKeepAliveSeconds))
        relayConnectFailed(m_generation, QStringLiteral("the connection could not be started"));
}

void RtcChannel::leave()
{
    if (m_state == Idle)
        return;
    const agora::rtc::RtcStats stats = currentStats();
    const QByteArray channel = m_request.channel;
    endSession();
    m_log->write(QStringLiteral("left channel %1").arg(QString::fromUtf8(channel)));
    if (m_handler)
        m_handler->onLeaveChannel(stats);
}

void RtcChannel::shutdown()
{
    m_handler = nullptr;
    endSession();
}

void RtcChannel::endSession()
{
    m_retryTimer->stop();
    m_volumeTimer->stop();
    m_statsTimer->stop();
    m_lostTimer->stop();
    if (m_request.relay) {
        // The others learn of the leave from our emptied entry; when the
        // relay does not confirm it in time, the connection is dropped
        // instead, so that the relay tells them through the will.
        const bool told = m_state == Joined
            && m_request.relay->publishAndWait(m_request.topicPrefix + "member/" + QByteArray::number(m_request.uid),
                                               QByteArray(), true, kLeaveConfirmMs);
        // Either way the bridge is silenced before anything is freed.
        if (told || m_state != Joined)
            m_request.relay->disconnect(kDisconnectTimeoutMs);
        else
            m_request.relay->abandon();
    }
    m_bridge.reset();
    m_media->stop();
    ++m_generation;
    m_request = RtcJoinRequest();
    m_state = Idle;
    m_relayDown = false;
    m_mediaDown = false;
    m_members.clear();
    m_videoMutedMembers.clear();
    m_lastSequence.clear();
    m_early.clear();
    m_videoSeen.clear();
}

void RtcChannel::relayConnected(int generation)
{
    if (generation != m_generation || (m_state != Connecting && m_state != Interrupted))
        return;
    m_retryTimer->stop();
    if (!m_request.relay->subscribe({ m_request.topicPrefix + "member/+", m_request.topicPrefix + "stream/+" }))
        relaySubscribed(generation, false);
}

void RtcChannel::relayConnectFailed(int generation, const QString &cause)
{
    if (generation != m_generation || m_state != Connecting)
        return;
    const QString text = QStringLiteral("cannot reach the relay: %1").arg(cause);
    m_log->write(text);
    // Said once per join; the attempts go on until the join is left.
    if (!m_errorReported && m_handler) {
        m_errorReported = true;
        const QByteArray message = text.toUtf8();
        m_handler->onError(agora::rtc::ERR_RELAY_UNREACHABLE, message.constData());
    }
    m_retryTimer->start();
}

void RtcChannel::relayConnectionLost(int generation, const QString &cause)
{
    if (generation != m_generation || (m_state != Joined && m_state != Interrupted))
        return;
    m_relayDown = true;
    interrupt(cause);
}

void RtcChannel::interrupt(const QString &why)
{
    if (m_state != Joined)
        return;
    m_log->write(QStringLiteral("connection interrupted: %1").arg(why));
    m_state = Interrupted;
    if (m_handler)
        m_handler->onConnectionInterrupted();
    m_lostTimer->start();
}

void RtcChannel::resumeIfWhole()
{
    if (m_state != Interrupted || m_relayDown || m_mediaDown)
        return;
    m_state = Joined;
    m_lostTimer->stop();
    const QByteArray channel = m_request.channel;
    m_log->write(QStringLiteral("rejoined channel %1").arg(QString::fromUtf8(channel)));
    if (m_handler)
        m_handler->onRejoinChannelSuccess(channel.constData(), m_request.uid, elapsed());
}

void RtcChannel::mediaUp()
{
    if (!m_mediaDown)
        return;
    m_mediaDown = false;
    resumeIfWhole();
}

void RtcChannel::mediaDown(const QString &why)
{
    if (m_state != Joined && m_state != Interrupted)
        return;
    m_mediaDown = true;
    interrupt(QStringLiteral("the media server: %1").arg(why));
}

void RtcChannel::firstFrame(agora::rtc::uid_t uid, int width, int height)
{
    if (m_state == Idle || m_videoSeen.contains(uid))
        return;
    m_videoSeen.insert(uid);
    if (m_handler)
        m_handler->onFirstRemoteVideoDecoded(uid, width, height, elapsed());
}

void RtcChannel::relaySubscribed(int generation, bool ok)
{
    if (generation != m_generation)
        return;
    if (!ok) {
        m_log->write(QStringLiteral("the relay refused the channel's topics"));
        if (m_handler)
            m_handler->onError(agora::rtc::ERR_FAILED, "the relay refused the channel's topics");
        return;
    }
    announce();
    const QByteArray channel = m_request.channel;
    if (m_state == Connecting) {
        m_state = Joined;
        m_log->write(QStringLiteral("joined channel %1").arg(QString::fromUtf8(channel)));
        if (m_handler)
            m_handler->onJoinChannelSuccess(channel.constData(), m_request.uid, elapsed());
        m_statsTimer->start();
        if (m_volumeTimer->interval() > 0)
            m_volumeTimer->start();
        const auto early = m_early;
        m_early.clear();
        for (const auto &message : early)
            handleMessage(message.first, message.second);
    } else if (m_state == Interrupted) {
        m_relayDown = false;
        resumeIfWhole();
    }
}

void RtcChannel::setVideoMuted(bool muted)
{
    if (muted == m_videoMuted)
        return;
    m_videoMuted = muted;
    // The others read it from our member entry, as late joiners do.
    if (m_state == Joined)
        announce();
}

void RtcChannel::announce()
{
    m_request.relay->publish(m_request.topicPrefix + "member/" + QByteArray::number(m_request.uid), memberPayload("joined"), true);
}

void RtcChannel::relayMessage(int generation, const QByteArray &topic, const QByteArray &payload)
{
    if (generation != m_generation || m_state == Idle)
        return;
    // Members and messages that are there already come before the join
    // is complete; they are told after it.
    if (m_state == Connecting) {
        m_early.append(qMakePair(topic, payload));
        return;
    }
    handleMessage(topic, payload);
}

void RtcChannel::handleMessage(const QByteArray &topic, const QByteArray &payload)
{
    if (!topic.startsWith(m_request.topicPrefix))
        return;
    const QList<QByteArray> parts = topic.mid(m_request.topicPrefix.size()).split('/');
    if (parts.size() != 2)
        return;
    bool ok = false;
    const agora::rtc::uid_t uid = parts.at(1).toUInt(&ok);
    if (!ok || uid == 0)
        return;
    if (parts.at(0) == "member")
        handleMember(uid, payload);
    else if (parts.at(0) == "stream")
        handleStream(uid, payload);
}

void RtcChannel::handleMember(agora::rtc::uid_t uid, const QByteArray &payload)
{
    const QJsonObject member = QJsonDocument::fromJson(payload).object();
    const QString state = member.value(QStringLiteral("state")).toString();
    const QByteArray session = member.value(QStringLiteral("session")).toString().toLatin1();

    if (uid == m_request.uid) {
        // A will or a leave of an earlier connection of ours has replaced
        // our entry: put it back, so later joiners still see us.
        if (m_state == Joined && state != QLatin1String("joined"))
            announce();
        return;
    }
    if (payload.isEmpty()) {
        m_videoMutedMembers.remove(uid);
        if (m_members.remove(uid)) {
            m_log->write(QStringLiteral("user %1 left").arg(uid));
            if (m_handler)
                m_handler->onUserOffline(uid, agora::rtc::USER_OFFLINE_QUIT);
        }
        return;
    }
    if (state == QLatin1String("joined")) {
        const bool known = m_members.contains(uid);
        m_members.insert(uid, session);
        if (!known) {
            m_log->write(QStringLiteral("user %1 joined").arg(uid));
            if (m_handler)
                m_handler->onUserJoined(uid, elapsed());
        }
        // Told on a change, and on the join of one whose camera is muted.
        const bool videoMuted = member.value(QStringLiteral("videoMuted")).toBool(false);
        if (videoMuted != m_videoMutedMembers.contains(uid)) {
            if (videoMuted)
                m_videoMutedMembers.insert(uid);
            else
                m_videoMutedMembers.remove(uid);
            m_log->write(QStringLiteral("user %1 %2 the camera").arg(uid).arg(videoMuted ? "muted" : "unmuted"));
            if (m_handler)
                m_handler->onUserMuteVideo(uid, videoMuted);
        }
    } else if (state == QLatin1String("dropped")) {
        // The will of a connection that has since been replaced says nothing.
        const auto it = m_members.constFind(uid);
        if (it != m_members.cend() && *it == session) {
            m_members.remove(uid);
            m_videoMutedMembers.remove(uid);
            m_log->write(QStringLiteral("user %1 dropped").arg(uid));
            if (m_handler)
                m_handler->onUserOffline(uid, agora::rtc::USER_OFFLINE_DROPPED);
        }
    }
}

void RtcChannel::handleStream(agora::rtc::uid_t uid, const QByteArray &payload)
{
    if (uid == m_request.uid)
        return;
    RtcStreamPacket packet;
    if (!RtcStreamPacket::decode(payload, &packet))
        return;
    const QByteArray key = QByteArray::number(uid) + '/' + QByteArray::number(packet.session) + '/'
        + QByteArray::number(packet.streamId);
    const quint64 last = m_lastSequence.value(key, 0);
    // The relay repeats what it is not sure it delivered: once is enough.
    if (packet.sequence <= last)
        return;
    m_lastSequence.insert(key, packet.sequence);
    m_rxBytes += quint64(payload.size());
    if (last != 0 && packet.sequence > last + 1 && m_handler) {
        const int missed = int(qMin<quint64>(packet.sequence - last - 1, INT_MAX));
        m_handler->onStreamMessageError(uid, packet.streamId, agora::rtc::ERR_STREAM_MESSAGE_MISSED, missed, 0);
    }
    if (m_handler)
        m_handler->onStreamMessage(uid, packet.streamId, packet.data.constData(), size_t(packet.data.size()));
}

void RtcChannel::reportVolumes()
{
    if (!m_handler)
        return;
    // The levels measured on our feed and on each received one; a member
    // whose feed is not received (yet) is silent.
    const QHash<agora::rtc::uid_t, int> heard = m_media->remoteLevels();
    std::vector<agora::rtc::AudioVolumeInfo> speakers;
    const int own = m_media->localLevel();
    speakers.push_back({ 0, unsigned(own) });
    int total = own;
    for (auto it = m_members.cbegin(); it != m_members.cend(); ++it) {
        const int level = heard.value(it.key());
        speakers.push_back({ it.key(), unsigned(level) });
        total = qMax(total, level);
    }
    m_handler->onAudioVolumeIndication(speakers.data(), unsigned(speakers.size()), total);
}

void RtcChannel::reportStats()
{
    const agora::rtc::RtcStats stats = currentStats();
    m_lastTx = m_txBytes->load();
    m_lastRx = m_rxBytes;
    m_lastAudioTx = m_media->audioBytesSent();
    m_lastVideoTx = m_media->videoBytesSent();
    m_lastStatsMs = m_since.elapsed();
    if (!m_handler)
        return;
    m_handler->onRtcStats(stats);
    const int quality = m_state == Joined ? kQualityGood : kQualityDown;
    m_handler->onNetworkQuality(0, quality, quality);
}

agora::rtc::RtcStats RtcChannel::currentStats() const
{
    agora::rtc::RtcStats stats;
    const qint64 now = m_since.isValid() ? m_since.elapsed() : 0;
    const quint64 audio = m_media->audioBytesSent();
    const quint64 video = m_media->videoBytesSent();
    const quint64 tx = m_txBytes->load() + audio + video;
    stats.duration = unsigned(now / 1000);
    stats.txBytes = unsigned(tx);
    stats.rxBytes = unsigned(m_rxBytes);
    const qint64 periodMs = qMax<qint64>(1, now - m_lastStatsMs);
    const auto kbps = [periodMs](quint64 bytes) {
        return static_cast<unsigned short>(qMin<quint64>(65535, bytes * 8 / quint64(periodMs)));
    };
    stats.txKBitRate = kbps(tx - m_lastTx - m_lastAudioTx - m_lastVideoTx);
    stats.txAudioKBitRate = kbps(audio - m_lastAudioTx);
    stats.txVideoKBitRate = kbps(video - m_lastVideoTx);
    stats.rxKBitRate = static_cast<unsigned short>(qMin<quint64>(65535, (m_rxBytes - m_lastRx) * 8 / quint64(periodMs)));
    stats.users = unsigned(m_members.size() + 1);
    return stats;
}

QByteArray RtcChannel::memberPayload(const char *state) const
{
    QJsonObject member;
    member.insert(QStringLiteral("uid"), double(m_request.uid));
    member.insert(QStringLiteral("session"), QString::number(m_request.session));
    member.insert(QStringLiteral("state"), QString::fromLatin1(state));
    member.insert(QStringLiteral("videoMuted"), m_videoMuted);
    return QJsonDocument(member).toJson(QJsonDocument::Compact);
}

int RtcChannel::elapsed() const
{
    return m_since.isValid() ? int(qMin<qint64>(m_since.elapsed(), INT_MAX)) : 0;
}
