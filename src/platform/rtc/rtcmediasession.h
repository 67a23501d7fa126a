#ifndef RTCMEDIASESSION_H
#define RTCMEDIASESSION_H

#include "rtcbase.h"
#include "rtcjanusclient.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QTimer;
class RtcEngineLog;
class RtcFilePlayout;
class RtcMediaOutlet;
class RtcWebrtcPeer;

// The sound and pictures of one channel membership through the media
// server: our feed published in the channel's room and every other
// participant's feed received, kept up while the server is reachable and
// made again (every kRetryMs) after it was lost. Lives on the engine's
// callback thread.
class RtcMediaSession : public QObject
{
    Q_OBJECT

public:
    struct Settings
    {
        QUrl server;
        QString room;
        agora::rtc::uid_t uid = 0;
        QByteArray microphone; // PulseAudio source; empty: the tone
        QByteArray speaker;    // PulseAudio sink; empty: into nothing
        int toneHz = 440;
        // Our pictures as the video profile asks for them.
        QSize videoSize { 640, 480 };
        int framesPerSecond = 15;
        int videoKbps = 500;
    };
    static const int kRetryMs = 2000;

    RtcMediaSession(RtcEngineLog *log, std::shared_ptr<RtcMediaOutlet> outlet, QObject *parent = nullptr);
    ~RtcMediaSession() override;

    void setFrameSink(const std::function<void(agora::rtc::uid_t, const QImage &)> &sink);
    void start(const Settings &settings);
    void stop();
    bool isUp() const { return m_up; }

    // Another microphone or speaker chosen mid-lesson: the feeds are made
    // again with them (a moment without sound, no interruption told).
    void setDevices(const QByteArray &microphone, const QByteArray &speaker);
    void setMicrophoneMuted(bool muted);
    void setPeerMuted(agora::rtc::uid_t uid, bool muted);
    // A file played into the class (or for us only); false (with why)
    // when it cannot be played. Runs also while no feed is sent.
    bool startPlayout(const QString &filePath, bool loopback, bool replace, int cycle, const QByteArray &speaker,
                      QString *why);
    void pausePlayout(bool paused);
    void stopPlayout();

    // 0-255: ours (after the mute), and each received participant's.
    int localLevel() const;
    // The RTP bytes of our feed sent in this membership, of sound and of
    // pictures (over every feed it made).
    quint64 audioBytesSent() const;
    quint64 videoBytesSent() const;
    QHash<agora::rtc::uid_t, int> remoteLevels() const;

signals:
    // Our feed is sent (the first time, or again after a loss).
    void up();
    void down(const QString &why);
    void firstFrame(agora::rtc::uid_t uid, int width, int height);

private:
    struct Subscription
    {
        agora::rtc::uid_t uid = 0;
        RtcWebrtcPeer *peer = nullptr;
    };

    void connectServer();
    void joined();
    void feedsAppeared(const QList<RtcJanusClient::Feed> &feeds);
    void feedGone(const QString &feedId);
    void subscriberOffer(const QString &feedId, const QString &sdp);
    void lost(const QString &why);
    void tearDown();
    void applyMicrophoneMute();

    RtcEngineLog *m_log;
    std::shared_ptr<RtcMediaOutlet> m_outlet;
    RtcJanusClient *m_janus;
    QTimer *m_retryTimer;
    Settings m_settings;
    QString m_feedId;
    bool m_active = false;
    bool m_up = false;
    bool m_microphoneMuted = false;
    RtcWebrtcPeer *m_publisher = nullptr;
    QHash<QString, Subscription> m_subscriptions; // feed id ->
    QHash<QString, agora::rtc::uid_t> m_feeds;     // feed id -> uid, known feeds
    QSet<agora::rtc::uid_t> m_mutedPeers;
    RtcFilePlayout *m_playout = nullptr;
    bool m_playoutReplaces = false;
    quint64 m_audioSentBefore = 0; // by the feeds made earlier
    quint64 m_videoSentBefore = 0;
    std::function<void(agora::rtc::uid_t, const QImage &)> m_frameSink;
};

#endif // RTCMEDIASESSION_H
