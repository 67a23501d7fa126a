#include "videoframemailbox.h"

void VideoFrameMailbox::setViewSize(const QSize &size)
{
    QMutexLocker hold(&m_lock);
    m_viewSize = size;
}

QSize VideoFrameMailbox::viewSize() const
{
    QMutexLocker hold(&m_lock);
    return m_viewSize;
}

void VideoFrameMailbox::setCropToFit(bool crop)
{
    QMutexLocker hold(&m_lock);
    m_crop = crop;
}

bool VideoFrameMailbox::cropToFit() const
{
    QMutexLocker hold(&m_lock);
    return m_crop;
}

bool VideoFrameMailbox::put(const Picture &picture)
{
    // The picture replaced is freed outside the lock.
    Picture replaced;
    QMutexLocker hold(&m_lock);
    replaced = std::move(m_waiting);
    m_waiting = picture;
    if (m_hasWaiting) {
        ++m_skipped;
        return false;
    }
    m_hasWaiting = true;
    return true;
}

bool VideoFrameMailbox::take(Picture *picture)
{
    QMutexLocker hold(&m_lock);
    if (!m_hasWaiting)
        return false;
    *picture = std::move(m_waiting);
    m_waiting = Picture();
    m_hasWaiting = false;
    return true;
}

quint64 VideoFrameMailbox::skipped() const
{
    QMutexLocker hold(&m_lock);
    return m_skipped;
}
