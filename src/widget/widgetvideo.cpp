#include "widgetvideo.h"

#include "biz/im/agora/videotileimage.h"

#include <QDebug>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>

#include <cstring>

namespace {

const QColor kMutedFill(70, 68, 68, 255);

void *self(const WidgetVideo *widget)
{
    return const_cast<WidgetVideo *>(widget);
}

} // namespace

WidgetVideo::WidgetVideo(QWidget *parent)
    : QWidget(parent)
    , m_mailbox(std::make_shared<VideoFrameMailbox>())
{
    qInfo("myvideo:WidgetVideo ctr:%p", self(this));
    m_mailbox->setViewSize(size());
    VideoRender::addView(this, m_mailbox);
    setStyleSheet(QStringLiteral("background-color: rgb(0, 255, 0);"));
}

WidgetVideo::~WidgetVideo()
{
    qInfo("myvideo:WidgetVideo dectr:%p", self(this));
    qInfo("myvideo:cleanup:%p", self(this));
    qInfo("myvideo:cleanup:%p emit widgetInvalidated", self(this));
    // The engine must not hand frames to a view that is gone.
    WidgetDestroyed();
}

void WidgetVideo::setId(const QString &id)
{
    qInfo("myvideo:%p setId:%s", self(this), qUtf8Printable(id));
    m_id = id;
}

void WidgetVideo::setCropToFit(bool crop)
{
    m_cropToFit = crop;
    m_mailbox->setCropToFit(crop);
    update();
}

void WidgetVideo::setVideoMuted(bool muted)
{
    m_muted = muted;
    repaint();
}

void WidgetVideo::slot_deliverFrame()
{
    // Repaints coalesce: however many pictures come before the paint, it
    // shows the newest.
    update();
}

void WidgetVideo::slot_video_render_delete()
{
    qInfo("myVideo:%p slot_video_render_delete:", self(this));
    // The render left an empty picture, or a newer render its first one.
    takePicture();
    update();
}

bool WidgetVideo::takePicture()
{
    VideoFrameMailbox::Picture newest;
    if (!m_mailbox->take(&newest))
        return false;
    m_picture = std::move(newest);
    return true;
}

void WidgetVideo::ViewSizeChanged(int width, int height)
{
    qInfo("myvideo:handleViewSizeChanged this:%p", self(this));
    VideoRender::viewResized(this, width, height);
}

void WidgetVideo::WidgetDestroyed()
{
    qInfo("myvideo:handleWidgetInvalidated this:%p", self(this));
    VideoRender::removeView(this);
}

void WidgetVideo::resizeEvent(QResizeEvent *event)
{
    qInfo("myvideo:resizeEvent:%p, width:%d, height:%d", self(this), width(), height());
    m_mailbox->setViewSize(size());
    ViewSizeChanged(width(), height());
    QWidget::resizeEvent(event);
}

unsigned char *WidgetVideo::cropToFit(const unsigned char *frame, int w, int h, int W, int H, int *a, int *b)
{
    const QRect kept = VideoTileImage::cropRect(QSize(w, h), QSize(W, H));
    *a = kept.width();
    *b = kept.height();
    const size_t rowBytes = size_t(w) * 4;
    const size_t keptBytes = size_t(kept.width()) * 4;
    auto *out = new unsigned char[keptBytes * size_t(kept.height())];
    for (int row = 0; row < kept.height(); ++row)
        std::memcpy(out + size_t(row) * keptBytes, frame + size_t(kept.y() + row) * rowBytes + size_t(kept.x()) * 4, keptBytes);
    return out;
}

void WidgetVideo::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    takePicture();
    if (m_muted) {
        QPainter painter(this);
        painter.fillRect(rect(), kMutedFill);
        return;
    }
    const QImage &frame = m_picture.frame;
    if (frame.isNull())
        return;
    if (m_firstFrame) {
        qInfo("myvideo:%p The first frame image 's width:%d, height:%d id:%s", self(this), frame.width(), frame.height(),
              qUtf8Printable(m_id));
        qInfo("Widget window's width:%d, height:%d", width(), height());
        qInfo().noquote() << QStringLiteral("Frame data uid:%1 rotation:%2, bFlipHorizontal:%3 bFlipHorizontal:%4")
                                 .arg(m_id).arg(m_picture.rotation).arg(m_picture.mirrored).arg(m_picture.mirrored);
        m_firstFrame = false;
    }
    // Made for another size or crop (the widget changed after the render
    // made it): made again here, once.
    if (m_picture.shown.size() != size() || m_picture.crop != m_cropToFit) {
        m_picture.shown = VideoTileImage::make(frame, size(), m_cropToFit, m_picture.rotation, m_picture.mirrored);
        m_picture.crop = m_cropToFit;
    }
    if (m_picture.shown.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture.shown);
}
