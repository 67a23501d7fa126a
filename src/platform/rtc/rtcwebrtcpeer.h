#ifndef RTCWEBRTCPEER_H
#define RTCWEBRTCPEER_H

#include <QByteArray>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSize>
#include <QString>

#include <atomic>
#include <functional>

typedef struct _GstElement GstElement;
typedef struct _GstMessage GstMessage;
class QTimer;
class RtcEngineLog;

// One WebRTC peer connection to the media server in a GStreamer pipeline
// of its own (webrtcbin): either our feed (the microphone, or a tone
// where there is none, mixed with a file played into the class, as Opus;
// the pictures handed to it as VP8) or one other participant's feed
// received (Opus played on the speaker, VP8 decoded to frames). SDP goes
// out with every ICE candidate in it (the server takes no trickle from
// us). Lives on one Qt thread; the pipeline's threads hand over to it.
class RtcWebrtcPeer : public QObject
{
    Q_OBJECT

public:
    struct SendOptions
    {
        QByteArray microphone; // a PulseAudio source; empty: the tone
        int toneHz = 440;
        QSize videoSize { 640, 480 };
        int framesPerSecond = 15;
        int videoKbps = 500;
    };
    // A decoded picture of the received feed, on a streaming thread.
    typedef std::function<void(const QImage &)> FrameSink;

    ~RtcWebrtcPeer() override;

    static RtcWebrtcPeer *createPublisher(const SendOptions &options, RtcEngineLog *log, QString *error);
    // speaker: a PulseAudio sink; empty (or one that cannot be reached)
    // plays into nothing at the sound's pace.
    static RtcWebrtcPeer *createSubscriber(const QByteArray &speaker, const FrameSink &frames, RtcEngineLog *log,
                                           QString *error);

    // Our feed: makes the offer (localDescription follows).
    void makeOffer();
    void acceptAnswer(const QString &sdp);
    // A received feed: takes the server's offer and answers it.
    void answerOffer(const QString &sdp);

    // Thread-safe. Our feed only: a picture to send (any size; scaled
    // into the video size with borders).
    void pushFrame(const QImage &image);
    // Our feed only: 16-bit mono samples at kPlayoutRate, mixed into what is sent.
    void pushPlayout(const QByteArray &samples);
    void setMicrophoneMuted(bool muted);
    // A received feed only: silence it here.
    void setPlaybackMuted(bool muted);
    // The sound's newest level, 0-255 (our feed: after the mute).
    int level() const { return m_level; }
    bool usesTone() const { return m_tone; }
    // Our feed: the RTP bytes sent so far, of sound and of pictures.
    quint64 audioBytesSent() const { return m_audioBytes; }
    quint64 videoBytesSent() const { return m_videoBytes; }
    bool playsIntoNothing() const { return m_silentSpeaker; }

    static const int kPlayoutRate = 48000;
    // Whether PulseAudio can be reached with this device (empty: the
    // default one) for recording or playing; asked once per device.
    static bool pulseDeviceUsable(const char *factory, const QByteArray &device);

signals:
    void localDescription(const QString &sdp);
    void failed(const QString &why);
    void firstFrame(int width, int height);

private:
    explicit RtcWebrtcPeer(RtcEngineLog *log);
    bool start(const QByteArray &description, QString *error);
    void watchBus();
    void onBusMessage(GstMessage *message);
    void descriptionSet();
    void sendLocalDescription();
    void remotePadAdded(void *pad);
    void frameDecoded(void *sample);

    static void onNegotiationNeeded(GstElement *webrtc, void *self);
    static void onOfferCreated(void *promise, void *self);
    static void onAnswerCreated(void *promise, void *self);
    static void onRemoteOfferSet(void *promise, void *self);
    static void onGatheringState(GstElement *webrtc, void *property, void *self);
    static void onPadAdded(GstElement *webrtc, void *pad, void *self);
    static int onNewSample(GstElement *sink, void *self);

    RtcEngineLog *m_log;
    GstElement *m_pipeline = nullptr;
    GstElement *m_webrtc = nullptr;
    GstElement *m_video = nullptr;   // appsrc of our pictures
    GstElement *m_playout = nullptr; // appsrc of the played file
    GstElement *m_microphone = nullptr; // volume
    QMutex m_playbackMutex; // the two below: set on a streaming thread
    GstElement *m_playback = nullptr;   // volume
    bool m_playbackMuted = false;
    QByteArray m_speaker;
    FrameSink m_frames;
    QSize m_videoSize;
    QSize m_lastPushed;
    QTimer *m_gatherTimer;
    std::atomic<int> m_level { 0 };
    std::atomic<quint64> m_audioBytes { 0 };
    std::atomic<quint64> m_videoBytes { 0 };
    std::atomic<bool> m_firstFrame { false };
    std::atomic<bool> m_sent { false };
    bool m_tone = false;
    bool m_silentSpeaker = false;
};

#endif // RTCWEBRTCPEER_H
