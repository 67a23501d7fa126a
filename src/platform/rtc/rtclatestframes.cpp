#include "rtclatestframes.h"

#include "rtcvideoframe.h"

template<typename Picture>
bool RtcLatestFrames<Picture>::put(const QByteArray &sender, const Picture &picture)
{
    QMutexLocker hold(&m_lock);
    // A handful of senders: a walk through them is cheaper than a hash.
    for (auto &waiting : m_waiting) {
        if (waiting.first == sender) {
            waiting.second = picture;
            ++m_skipped;
            return false;
        }
    }
    if (m_waiting.size() >= size_t(kMaxSenders)) {
        ++m_skipped;
        return false;
    }
    m_waiting.emplace_back(sender, picture);
    if (m_told)
        return false;
    m_told = true;
    return true;
}

template<typename Picture>
QList<QPair<QByteArray, Picture>> RtcLatestFrames<Picture>::take()
{
    QMutexLocker hold(&m_lock);
    QList<QPair<QByteArray, Picture>> pictures;
    pictures.reserve(int(m_waiting.size()));
    for (auto &waiting : m_waiting)
        pictures.append(qMakePair(std::move(waiting.first), std::move(waiting.second)));
    m_waiting.clear();
    m_told = false;
    return pictures;
}

template<typename Picture>
quint64 RtcLatestFrames<Picture>::skipped() const
{
    QMutexLocker hold(&m_lock);
    return m_skipped;
}

template class RtcLatestFrames<QByteArray>;
template class RtcLatestFrames<RtcVideoFrame>;
