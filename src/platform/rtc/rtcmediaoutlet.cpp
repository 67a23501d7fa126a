#include "rtcmediaoutlet.h"

#include "rtcwebrtcpeer.h"

#include <QMutexLocker>

void RtcMediaOutlet::setPublisher(RtcWebrtcPeer *publisher)
{
    QMutexLocker lock(&m_mutex);
    m_publisher = publisher;
}

void RtcMediaOutlet::pushFrame(const QImage &image)
{
    QMutexLocker lock(&m_mutex);
    if (m_publisher)
        m_publisher->pushFrame(image);
}

void RtcMediaOutlet::pushPlayout(const QByteArray &samples)
{
    QMutexLocker lock(&m_mutex);
    if (m_publisher)
        m_publisher->pushPlayout(samples);
}
