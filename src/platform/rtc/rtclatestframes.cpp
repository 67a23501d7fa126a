#include "rtclatestframes.h"

bool RtcLatestFrames::put(const QByteArray &topic, const QByteArray &picture)
{
    QMutexLocker hold(&m_lock);
    // A handful of senders: a walk through them is cheaper than a hash.
    for (auto &waiting : m_waiting) {
        if (waiting.first == topic) {
            waiting.second = picture;
            ++m_skipped;
            return false;
        }
    }
    if (m_waiting.size() >= size_t(kMaxSenders)) {
        ++m_skipped;
        return false;
    }
    m_waiting.emplace_back(topic, picture);
    if (m_told)
        return false;
    m_told = true;
    return true;
}

QList<QPair<QByteArray, QByteArray>> RtcLatestFrames::take()
{
    QMutexLocker hold(&m_lock);
    QList<QPair<QByteArray, QByteArray>> pictures;
    pictures.reserve(int(m_waiting.size()));
    for (auto &waiting : m_waiting)
        pictures.append(qMakePair(std::move(waiting.first), std::move(waiting.second)));
    m_waiting.clear();
    m_told = false;
    return pictures;
}

quint64 RtcLatestFrames::skipped() const
{
    QMutexLocker hold(&m_lock);
    return m_skipped;
}
