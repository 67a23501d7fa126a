#include "stampwatcher.h"

#include "platform/rtc/rtcvideosource.h"

#include <QEvent>

StampWatcher::StampWatcher(QWidget *widget)
    : m_widget(widget)
{
    widget->installEventFilter(this);
}

bool StampWatcher::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint && !m_rendering && !m_pending) {
        m_pending = true;
        QMetaObject::invokeMethod(this, [this] { capture(); }, Qt::QueuedConnection);
    }
    return false;
}

std::vector<double> StampWatcher::take()
{
    std::vector<double> taken;
    taken.swap(m_latencies);
    return taken;
}

void StampWatcher::capture()
{
    m_pending = false;
    if (!m_widget)
        return;
    // The picture is on the glass now; reading it back is not counted.
    const quint32 now = RtcVideoSource::stampClockMs();
    m_rendering = true;
    if (m_rendered.size() != m_widget->size())
        m_rendered = QImage(m_widget->size(), QImage::Format_ARGB32);
    m_widget->render(&m_rendered);
    m_rendering = false;
    quint32 frame = 0;
    quint32 drawn = 0;
    if (!RtcVideoSource::readFrameStamp(m_rendered, &frame, &drawn)) {
        ++m_unreadable;
        return;
    }
    if (m_seen && frame == m_lastFrame)
        return;
    m_seen = true;
    m_lastFrame = frame;
    // Both clocks are the machine's monotonic one; the difference wraps.
    m_latencies.push_back(double(qint32(now - drawn)));
}
