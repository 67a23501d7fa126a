#include "widgetvideo.h"

#include <QDebug>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

const QColor kMutedFill(70, 68, 68, 255);

void *self(const WidgetVideo *widget)
{
    return const_cast<WidgetVideo *>(widget);
}

} // namespace

WidgetVideo::WidgetVideo(QWidget *parent)
    : QWidget(parent)
{
    qInfo("myvideo:WidgetVideo ctr:%p", self(this));
    VideoRender::addView(this);
    setStyleSheet(QStringLiteral("background-color: rgb(0, 255, 0);"));
}

WidgetVideo::~WidgetVideo()
{
    qInfo("myvideo:WidgetVideo dectr:%p", self(this));
    qInfo("myvideo:cleanup:%p", self(this));
    qInfo("myvideo:cleanup:%p emit widgetInvalidated", self(this));
    // The engine must not hand frames to a view that is gone.
    WidgetDestroyed();
    m_frame = nullptr;
}

void WidgetVideo::setId(const QString &id)
{
    qInfo("myvideo:%p setId:%s", self(this), qUtf8Printable(id));
    m_id = id;
}

void WidgetVideo::setCropToFit(bool crop)
{
    m_cropToFit = crop;
}

void WidgetVideo::setVideoMuted(bool muted)
{
    m_muted = muted;
    repaint();
}

void WidgetVideo::slot_deliverFrame(agora::media::IVideoFrame *videoFrame, int rotation, bool mirrored)
{
    m_frame = videoFrame;
    m_rotation = rotation;
    m_mirrored = mirrored;
    update();
}

void WidgetVideo::slot_video_render_delete()
{
    qInfo("myVideo:%p slot_video_render_delete:", self(this));
    m_frame = nullptr;
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
    ViewSizeChanged(width(), height());
    QWidget::resizeEvent(event);
}

unsigned char *WidgetVideo::cropToFit(const unsigned char *frame, int w, int h, int W, int H, int *a, int *b)
{
    *a = w;
    *b = h;
    const size_t rowBytes = size_t(w) * 4;
    if (W > 0 && H > 0) {
        const float A = float(W) / float(H);
        const float F = float(w) / float(h);
        if (F > A && w > W) {
            const int cut = std::min(w, std::max(1, int(float(h) * A)));
            const int from = (w - cut) / 2;
            auto *out = new unsigned char[size_t(cut) * size_t(h) * 4];
            for (int row = 0; row < h; ++row)
                std::memcpy(out + size_t(row) * size_t(cut) * 4, frame + size_t(row) * rowBytes + size_t(from) * 4,
                            size_t(cut) * 4);
            *a = cut;
            return out;
        }
        if (F < A && h > H) {
            const int cut = std::min(h, std::max(1, int(float(w) / A)));
            const int from = (h - cut) / 2;
            auto *out = new unsigned char[rowBytes * size_t(cut)];
            std::memcpy(out, frame + size_t(from) * rowBytes, rowBytes * size_t(cut));
            *b = cut;
            return out;
        }
    }
    auto *out = new unsigned char[rowBytes * size_t(h)];
    std::memcpy(out, frame, rowBytes * size_t(h));
    return out;
}

void WidgetVideo::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    if (m_muted) {
        QPainter painter(this);
        painter.fillRect(rect(), kMutedFill);
        return;
    }
    if (!m_frame)
        return;
    const int w = m_frame->width();
    const int h = m_frame->height();
    if (w <= 0 || h <= 0)
        return;
    if (m_firstFrame) {
        qInfo("myvideo:%p The first frame image 's width:%d, height:%d id:%s", self(this), w, h, qUtf8Printable(m_id));
        qInfo("Widget window's width:%d, height:%d", width(), height());
        qInfo().noquote() << QStringLiteral("Frame data uid:%1 rotation:%2, bFlipHorizontal:%3 bFlipHorizontal:%4")
                                 .arg(m_id).arg(m_rotation).arg(m_mirrored).arg(m_mirrored);
        m_firstFrame = false;
    }
    std::unique_ptr<unsigned char[]> converted(new unsigned char[size_t(w) * size_t(h) * 4]);
    if (m_frame->convertFrame(agora::media::VIDEO_TYPE_ARGB, 0, converted.get()) != 0) {
        qInfo("myvideo:paintEvent:%p convertFrame failed", self(this));
        return;
    }
    int a = w;
    int b = h;
    std::unique_ptr<unsigned char[]> picture;
    if (m_cropToFit) {
        picture.reset(cropToFit(converted.get(), w, h, width(), height(), &a, &b));
    } else {
        picture = std::move(converted);
    }
    auto *pixels = reinterpret_cast<quint32 *>(picture.get());
    const size_t count = size_t(a) * size_t(b);
    if (m_rotation == 180)
        std::reverse(pixels, pixels + count); // (r, c) -> (b-1-r, a-1-c)
    if (m_mirrored) {
        for (int row = 0; row < b; ++row)
            std::reverse(pixels + size_t(row) * size_t(a), pixels + size_t(row + 1) * size_t(a));
    }
    const QImage image(picture.get(), a, b, a * 4, QImage::Format_ARGB32);
    QPainter painter(this);
    painter.drawImage(rect(), image);
}
