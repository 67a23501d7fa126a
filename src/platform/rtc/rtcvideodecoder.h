#ifndef RTCVIDEODECODER_H
#define RTCVIDEODECODER_H

#include "rtcbase.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QString>
#include <QThreadPool>

#include <functional>

// Decodes the senders' compressed pictures on worker threads, so that the
// pictures of a class's senders are decoded side by side and none waits
// for another sender's. A sender has at most one picture being decoded,
// so its pictures come out in the order they came in, and while it is, only
// its newest further picture waits (the older ones are skipped).
class RtcVideoDecoder
{
public:
    // Far more senders than a class has: pictures of further senders are
    // dropped while this many are being decoded or wait for a worker.
    static constexpr int kMaxSenders = 64;

    // Called on a worker thread with each picture decoded (frame in 32-bit
    // RGB or ARGB), or a null frame and why the picture was refused.
    using Sink = std::function<void(agora::rtc::uid_t uid, const QImage &frame, const QString &why)>;

    explicit RtcVideoDecoder(const Sink &sink, int threads = defaultThreads());
    // Drops the pictures waiting and waits for those being decoded.
    ~RtcVideoDecoder();

    // Any thread.
    void decode(agora::rtc::uid_t uid, const QByteArray &picture);
    // Drops the pictures waiting and waits for those being decoded; later
    // pictures are decoded as usual. Any thread but a worker's.
    void flush();
    // As flush, and later pictures are dropped: the sink is not called
    // after it returns.
    void stop();
    // Pictures replaced while their sender's last one was being decoded,
    // or dropped.
    quint64 skipped() const;

    static int defaultThreads();

private:
    struct Sender
    {
        QByteArray waiting; // the newest picture after the one being decoded
    };

    void run(agora::rtc::uid_t uid, QByteArray picture);

    Sink m_sink;
    QThreadPool m_pool;
    mutable QMutex m_lock;
    QHash<agora::rtc::uid_t, Sender> m_senders; // those being decoded only
    bool m_stopped = false;
    quint64 m_skipped = 0;
};

#endif // RTCVIDEODECODER_H
