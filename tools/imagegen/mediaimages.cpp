// The pictures of the lesson-material panels: the audio rows' play, pause,
// resource and download marks, and the video tiles' download and play marks.

#include "imagefolders.h"
#include "imagewriter.h"

#include <QPainter>
#include <QPainterPath>

namespace {

void drawPlayTriangle(QPainter &p, const QRectF &box, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const qreal w = box.width();
    const qreal h = box.height();
    p.drawPolygon(QPolygonF({ QPointF(box.left() + w * 0.38, box.top() + h * 0.28),
                              QPointF(box.left() + w * 0.38, box.top() + h * 0.72),
                              QPointF(box.left() + w * 0.74, box.top() + h * 0.5) }));
}

void drawDownloadArrow(QPainter &p, const QRectF &box, const QColor &color, qreal width)
{
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const qreal cx = box.center().x();
    const qreal w = box.width();
    const qreal h = box.height();
    p.drawLine(QPointF(cx, box.top() + h * 0.22), QPointF(cx, box.top() + h * 0.62));
    p.drawPolyline(QPolygonF({ QPointF(cx - w * 0.18, box.top() + h * 0.46), QPointF(cx, box.top() + h * 0.64),
                               QPointF(cx + w * 0.18, box.top() + h * 0.46) }));
    p.drawLine(QPointF(box.left() + w * 0.26, box.top() + h * 0.78), QPointF(box.right() - w * 0.26,
                                                                             box.top() + h * 0.78));
}

} // namespace

void drawMediaImages(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/icon_audio_play.png"), 24, 24, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::brand);
        p.drawEllipse(QRectF(1, 1, 22, 22));
        drawPlayTriangle(p, QRectF(1, 1, 22, 22), Qt::white);
    });
    writer.png(QStringLiteral("class/icon_audio_pause.png"), 24, 24, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::brand);
        p.drawEllipse(QRectF(1, 1, 22, 22));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(8, 7, 3, 10), 1, 1);
        p.drawRoundedRect(QRectF(13, 7, 3, 10), 1, 1);
    });
    writer.png(QStringLiteral("class/icon_audio_resource.png"), 24, 24, [](QPainter &p) {
        // A note.
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::glyph);
        p.drawEllipse(QRectF(5, 14, 7, 6));
        p.drawRect(QRectF(10, 4, 2, 13));
        QPainterPath flag;
        flag.moveTo(11, 4);
        flag.cubicTo(14, 5, 18, 6, 18, 10);
        flag.cubicTo(17, 8, 14, 8, 12, 8);
        flag.closeSubpath();
        p.drawPath(flag);
    });
    writer.png(QStringLiteral("class/icon_audio_download.png"), 24, 24, [](QPainter &p) {
        drawDownloadArrow(p, QRectF(0, 0, 24, 24), Palette::glyph, 2);
    });
    writer.png(QStringLiteral("class/icon_video_download.png"), 40, 40, [](QPainter &p) {
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawEllipse(QRectF(2, 2, 36, 36));
        drawDownloadArrow(p, QRectF(4, 4, 32, 32), Qt::white, 2.4);
    });
    writer.png(QStringLiteral("class/icon_teacher_video_play.png"), 40, 40, [](QPainter &p) {
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawEllipse(QRectF(2, 2, 36, 36));
        drawPlayTriangle(p, QRectF(2, 2, 36, 36), Qt::white);
    });
}
