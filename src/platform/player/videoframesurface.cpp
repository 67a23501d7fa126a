#include "videoframesurface.h"

#include <QVideoSurfaceFormat>

namespace QtAV {

VideoFrameSurface::VideoFrameSurface(QObject *parent)
    : QAbstractVideoSurface(parent)
{
}

VideoFrameSurface::~VideoFrameSurface() = default;

QList<QVideoFrame::PixelFormat> VideoFrameSurface::supportedPixelFormats(QAbstractVideoBuffer::HandleType type) const
{
    // Frames in memory in the painter's own layout: the decoder's converter
    // writes them once and they are drawn as they are.
    if (type != QAbstractVideoBuffer::NoHandle)
        return {};
    return { QVideoFrame::Format_RGB32 };
}

bool VideoFrameSurface::start(const QVideoSurfaceFormat &format)
{
    if (format.handleType() != QAbstractVideoBuffer::NoHandle || format.pixelFormat() != QVideoFrame::Format_RGB32
        || format.frameSize().isEmpty()) {
        setError(UnsupportedFormatError);
        return false;
    }
    return QAbstractVideoSurface::start(format);
}

void VideoFrameSurface::stop()
{
    m_frame = QVideoFrame();
    QAbstractVideoSurface::stop();
    emit frameChanged();
}

bool VideoFrameSurface::present(const QVideoFrame &frame)
{
    if (!isActive() || frame.pixelFormat() != QVideoFrame::Format_RGB32) {
        setError(IncorrectFormatError);
        return false;
    }
    m_frame = frame;
    emit frameChanged();
    return true;
}

} // namespace QtAV
