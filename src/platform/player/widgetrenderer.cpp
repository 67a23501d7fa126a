#include "widgetrenderer.h"

#include "videoframesurface.h"

#include <QPainter>
#include <QPaintEvent>
#include <QVideoSurfaceFormat>

namespace QtAV {

WidgetRenderer::WidgetRenderer(QWidget *parent)
    : QVideoWidget(parent)
    , m_surface(new VideoFrameSurface(this))
{
    // Every pixel is painted: nothing underneath needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_surface, &VideoFrameSurface::frameChanged, this, [this] { update(); });
}

WidgetRenderer::~WidgetRenderer() = default;

QRect WidgetRenderer::fittedRect(const QSize &frame, const QSize &widget)
{
    if (frame.isEmpty() || widget.isEmpty())
        return QRect();
    const QSize fitted = frame.scaled(widget, Qt::KeepAspectRatio);
    return QRect(QPoint((widget.width() - fitted.width()) / 2, (widget.height() - fitted.height()) / 2), fitted);
}

void WidgetRenderer::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    QVideoFrame frame = m_surface->currentFrame();
    if (!frame.isValid() || !frame.map(QAbstractVideoBuffer::ReadOnly)) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    const QVideoSurfaceFormat format = m_surface->surfaceFormat();
    QRect source = format.viewport();
    if (source.isEmpty())
        source = QRect(QPoint(0, 0), frame.size());
    QSize shown = source.size();
    const QSize ratio = format.pixelAspectRatio();
    if (ratio.isValid() && ratio.height() > 0)
        shown.setWidth(shown.width() * ratio.width() / ratio.height());
    const QRect target = fittedRect(shown, size());
    // The frame's own memory, drawn without a copy.
    const QImage image(frame.bits(), frame.width(), frame.height(), frame.bytesPerLine(), QImage::Format_RGB32);
    const QRegion around = QRegion(event->rect()) - target;
    for (const QRect &rect : around)
        painter.fillRect(rect, Qt::black);
    if (target.size() != source.size())
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image, source);
    frame.unmap();
}

} // namespace QtAV
