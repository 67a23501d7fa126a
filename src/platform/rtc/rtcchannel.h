#ifndef RTCCHANNEL_H
#define RTCCHANNEL_H

#include "rtcengine.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPair>

#include <QSet>
#include <QSize>
#include <QUrl>

#include <atomic>
#include <functional>
#include <memory>

class QTimer;
class RtcEngineLog;
class RtcMediaOutlet;
class RtcMediaSession;
class RtcRelayClient;
class RtcRelayListener;

// What a join hands to the callback thread.
struct RtcJoinRequest
{
    std::shared_ptr<RtcRelayClient> relay;
    // "lessonry/rtc/<app id>/<channel, percent-encoded>/"
    QByteArray topicPrefix;
    QByteArray channel;
    agora::rtc::uid_t uid = 0;
    quint64 session = 0;
    // The media server of the sound and pictures; none: the channel
    // carries the data stream only.
    QUrl mediaServer;
    QByteArray microphone; // PulseAudio source; empty: the synthetic tone
    QByteArray speaker;    // PulseAudio sink; empty: into nothing
    int toneHz = 440;
    // Of the video profile.
    QSize videoSize { 640, 480 };
    int framesPerSecond = 15;
    int videoKbps = 500;
};

// The engine's callback thread: one channel membership at a time over the
// relay, the members seen there, the data streams received, the periodic
// reports, and every call of the event handler. Every public operation is
// called on the callback thread.
//
// Relay topics below the prefix:
//   member/<uid>  retained {"uid", "session", "state": "joined"|"dropped",
//                 "videoMuted"}; emptied on leave; "dropped" is the
//                 connection's will; a change of videoMuted is told to the
//                 others as onUserMuteVideo
//   stream/<uid>  the data-stream packets of that sender, in order
// Sound and pictures go through the media server (RtcMediaSession); the
// connection counts as interrupted while either the relay or the media
// server is away.
class RtcMicrophoneMeter;
class RtcSoundPlayer;

class RtcChannel : public QObject
{
    Q_OBJECT

public:
    RtcChannel(RtcEngineLog *log, std::atomic<quint64> *txBytes, std::shared_ptr<RtcMediaOutlet> outlet,
               QObject *parent = nullptr);
    ~RtcChannel() override;

    void setHandler(agora::rtc::IRtcEngineEventHandler *handler);
    agora::rtc::IRtcEngineEventHandler *handler() const { return m_handler; }
    void setVolumeIndicationInterval(int ms);
    void setConnectionLostTimeout(int ms);
    // Receives every remote picture, decoded, on a streaming thread.
    void setFrameSink(const std::function<void(agora::rtc::uid_t, const QImage &)> &sink);
    RtcMediaSession *media() const { return m_media; }
    // The recording device test: the level of the microphone every ms
    // (0 stops it), in or out of a channel. The level is the machine
    // microphone's when it delivers sound, the synthetic one's otherwise.
    void setRecordingTestInterval(int ms, const QByteArray &microphoneId = QByteArray());
    // The playback device test, on this thread.
    RtcSoundPlayer *soundPlayer() const { return m_soundPlayer; }

    void join(const RtcJoinRequest &request);
    // Whether our pictures are muted (kept over joins); the channel's
    // members hear of it.
    void setVideoMuted(bool muted);
    // Ends the membership and reports onLeaveChannel; nothing when there
    // is none.
    void leave();
    // Ends the membership without a word and forgets the handler.
    void shutdown();
    // From any thread, as the engine stops: what the relay delivered and
    // this thread has not handled yet (a backlog of video frames on a busy
    // machine) is dropped instead of decoded before the thread can end.
    void abandon();
    bool isAbandoned() const;

    // From the relay, handed over from the library's threads; generation
    // tells news of an earlier join apart.
    void relayConnected(int generation);
    void relayConnectFailed(int generation, const QString &cause);
    void relayConnectionLost(int generation, const QString &cause);
    void relaySubscribed(int generation, bool ok);
    void relayMessage(int generation, const QByteArray &topic, const QByteArray &payload);

private:
    enum State { Idle, Connecting, Joined, Interrupted };

    void startConnect();
    void endSession();
    void announce();
    void handleMessage(const QByteArray &topic, const QByteArray &payload);
    void handleMember(agora::rtc::uid_t uid, const QByteArray &payload);
    void handleStream(agora::rtc::uid_t uid, const QByteArray &payload);
    void mediaUp();
    void mediaDown(const QString &why);
    void interrupt(const QString &why);
    void resumeIfWhole();
    void firstFrame(agora::rtc::uid_t uid, int width, int height);
    void reportRecordingLevel();
    void reportVolumes();
    void reportStats();
    agora::rtc::RtcStats currentStats() const;
    QByteArray memberPayload(const char *state) const;
    int elapsed() const;

    RtcEngineLog *m_log;
    std::atomic<quint64> *m_txBytes;
    agora::rtc::IRtcEngineEventHandler *m_handler = nullptr;
    QTimer *m_retryTimer;
    QTimer *m_volumeTimer;
    QTimer *m_statsTimer;
    QTimer *m_lostTimer;
    QTimer *m_recordingTestTimer;
    QElapsedTimer m_recordingTestClock;
    RtcMicrophoneMeter *m_microphone;
    RtcSoundPlayer *m_soundPlayer;
    RtcMediaSession *m_media;
    QSet<agora::rtc::uid_t> m_videoSeen; // senders whose first picture was told
    bool m_relayDown = false;
    bool m_mediaDown = false;

    RtcJoinRequest m_request;
    std::unique_ptr<RtcRelayListener> m_bridge;
    State m_state = Idle;
    int m_generation = 0;
    std::atomic<bool> m_abandoned{ false };
    bool m_errorReported = false;
    QElapsedTimer m_since;
    QHash<agora::rtc::uid_t, QByteArray> m_members; // uid -> session
    QSet<agora::rtc::uid_t> m_videoMutedMembers;
    bool m_videoMuted = false;
    QHash<QByteArray, quint64> m_lastSequence;    // "uid/session/stream" -> last
    QList<QPair<QByteArray, QByteArray>> m_early; // received before the join completed
    quint64 m_rxBytes = 0;
    quint64 m_lastTx = 0;
    quint64 m_lastRx = 0;
    quint64 m_lastAudioTx = 0; // RTP bytes of our feed at the last report
    quint64 m_lastVideoTx = 0;
    qint64 m_lastStatsMs = 0;
};

#endif // RTCCHANNEL_H
