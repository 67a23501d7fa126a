#ifndef VIDEOFRAMESURFACE_H
#define VIDEOFRAMESURFACE_H

#include <QAbstractVideoSurface>
#include <QVideoFrame>

namespace QtAV {

// Takes the decoded pictures from the player as 32-bit RGB frames and
// keeps the newest one (shared with the player, not copied) for the widget
// that shows it.
class VideoFrameSurface : public QAbstractVideoSurface
{
    Q_OBJECT

public:
    explicit VideoFrameSurface(QObject *parent = nullptr);
    ~VideoFrameSurface() override;

    QList<QVideoFrame::PixelFormat>
    supportedPixelFormats(QAbstractVideoBuffer::HandleType type = QAbstractVideoBuffer::NoHandle) const override;
    bool start(const QVideoSurfaceFormat &format) override;
    void stop() override;
    bool present(const QVideoFrame &frame) override;

    // The newest frame; invalid before the first one and after stop().
    QVideoFrame currentFrame() const { return m_frame; }

signals:
    void frameChanged();

private:
    QVideoFrame m_frame;
};

} // namespace QtAV

#endif // VIDEOFRAMESURFACE_H
