#include "rtcvideodecoder.h"

#include "rtcvideosource.h"

#include <QThread>

#include <algorithm>

RtcVideoDecoder::RtcVideoDecoder(const Sink &sink, int threads)
    : m_sink(sink)
{
    m_pool.setMaxThreadCount(std::max(1, threads));
    // Workers stay for the next picture rather than start anew for each.
    m_pool.setExpiryTimeout(-1);
}

RtcVideoDecoder::~RtcVideoDecoder()
{
    stop();
}

int RtcVideoDecoder::defaultThreads()
{
    // Enough for a class's senders side by side, without crowding the
    // machine's other work.
    return std::min(4, std::max(1, QThread::idealThreadCount() / 2));
}

void RtcVideoDecoder::decode(agora::rtc::uid_t uid, const QByteArray &picture)
{
    QMutexLocker hold(&m_lock);
    if (m_stopped)
        return;
    const auto busy = m_senders.find(uid);
    if (busy != m_senders.end()) {
        if (!busy->waiting.isNull())
            ++m_skipped;
        busy->waiting = picture;
        return;
    }
    if (m_senders.size() >= kMaxSenders) {
        ++m_skipped;
        return;
    }
    m_senders.insert(uid, Sender());
    m_pool.start([this, uid, picture] { run(uid, picture); });
}

void RtcVideoDecoder::run(agora::rtc::uid_t uid, QByteArray picture)
{
    for (;;) {
        QString why;
        const QImage frame = RtcVideoSource::decode(picture, &why);
        m_sink(uid, frame, frame.isNull() ? why : QString());
        // The newest picture that came meanwhile, on this same worker.
        QMutexLocker hold(&m_lock);
        Sender &sender = m_senders[uid];
        if (sender.waiting.isNull()) {
            m_senders.remove(uid);
            return;
        }
        picture = std::move(sender.waiting);
        sender.waiting = QByteArray();
    }
}

void RtcVideoDecoder::flush()
{
    {
        QMutexLocker hold(&m_lock);
        for (Sender &sender : m_senders) {
            if (!sender.waiting.isNull())
                ++m_skipped;
            sender.waiting = QByteArray();
        }
    }
    m_pool.waitForDone();
}

void RtcVideoDecoder::stop()
{
    {
        QMutexLocker hold(&m_lock);
        m_stopped = true;
    }
    flush();
}

quint64 RtcVideoDecoder::skipped() const
{
    QMutexLocker hold(&m_lock);
    return m_skipped;
}
