// The device windows' pictures: the settings window's background and logo,
// the device test's header picture, play and pause buttons and its report
// marks (setting/ and class/), and the classroom device bar's two button
// strips.

#include "imagefolders.h"
#include "imagewriter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

void drawSpeaker(QPainter &p, const QPointF &c, qreal s, const QColor &color)
{
    QPainterPath body;
    body.moveTo(c + QPointF(-0.45 * s, -0.18 * s));
    body.lineTo(c + QPointF(-0.2 * s, -0.18 * s));
    body.lineTo(c + QPointF(0.1 * s, -0.42 * s));
    body.lineTo(c + QPointF(0.1 * s, 0.42 * s));
    body.lineTo(c + QPointF(-0.2 * s, 0.18 * s));
    body.lineTo(c + QPointF(-0.45 * s, 0.18 * s));
    body.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(body);
}

void drawPlayButton(ImageWriter &writer, const QString &path, bool pause)
{
    writer.png(path, 160, 160, [pause](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::brand);
        p.drawEllipse(QRectF(4, 4, 152, 152));
        const QPointF c(80, 80);
        if (pause) {
            p.setBrush(Qt::white);
            p.drawRoundedRect(QRectF(56, 48, 16, 64), 4, 4);
            p.drawRoundedRect(QRectF(88, 48, 16, 64), 4, 4);
            return;
        }
        drawSpeaker(p, c + QPointF(-8, 0), 80, Qt::white);
        p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(62, 52, 40, 56), -50 * 16, 100 * 16);
        p.drawArc(QRectF(54, 38, 64, 84), -50 * 16, 100 * 16);
    });
}

void drawMark(ImageWriter &writer, const QString &path, bool good)
{
    writer.png(path, 24, 24, [good](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(good ? Palette::signalStrong : Palette::brand);
        p.drawEllipse(QRectF(1, 1, 22, 22));
        p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        if (good) {
            QPainterPath check;
            check.moveTo(6.5, 12.5);
            check.lineTo(10.5, 16.5);
            check.lineTo(17.5, 8);
            p.drawPath(check);
        } else {
            p.drawLine(QPointF(8, 8), QPointF(16, 16));
            p.drawLine(QPointF(16, 8), QPointF(8, 16));
        }
    });
}

// Six looks side by side, 46 pixels each: normal, hover, pressed, checked,
// checked hover, checked pressed.
void drawBarButton(ImageWriter &writer, const QString &path, bool camera)
{
    writer.sprite(path, 46, 42, 6, [camera](QPainter &p, int state, qreal x) {
        const bool checked = state >= 3;
        const int look = state % 3;
        const QColor back = look == 0 ? QColor(0, 0, 0, 0) : (look == 1 ? QColor(255, 255, 255, 40) : QColor(255, 255, 255, 70));
        p.fillRect(QRectF(x, 0, 46, 42), back);
        const QColor color = checked ? Palette::brand : QColor(Qt::white);
        const QPointF c(x + 23, 21);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        if (camera) {
            p.drawRoundedRect(QRectF(c.x() - 11, c.y() - 7, 16, 14), 3, 3);
            QPolygonF lens;
            lens << c + QPointF(6, -2) << c + QPointF(12, -6) << c + QPointF(12, 6) << c + QPointF(6, 2);
            p.drawPolygon(lens);
        } else {
            drawSpeaker(p, c + QPointF(-2, 0), 22, color);
            p.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(c.x() - 4, c.y() - 8, 12, 16), -50 * 16, 100 * 16);
        }
    });
}

} // namespace

void drawDeviceImages(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/settingBackground.png"), 16, 16, [](QPainter &p) {
        p.fillRect(QRectF(0, 0, 16, 16), QColor(244, 244, 244));
    });
    writer.png(QStringLiteral("class/devicedetecting.png"), 700, 220, [](QPainter &p) {
        QLinearGradient sky(0, 0, 700, 220);
        sky.setColorAt(0, QColor(255, 236, 230));
        sky.setColorAt(1, QColor(255, 214, 204));
        p.fillRect(QRectF(0, 0, 700, 220), sky);
        p.setPen(Qt::NoPen);
        // A headset, a microphone and a camera.
        p.setBrush(Palette::brand);
        p.drawEllipse(QRectF(190, 70, 90, 90));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(210, 90, 50, 50));
        p.setBrush(Palette::ink);
        p.drawRoundedRect(QRectF(330, 60, 40, 80), 20, 20);
        p.drawRect(QRectF(347, 140, 6, 30));
        p.drawRoundedRect(QRectF(325, 168, 50, 8), 4, 4);
        p.setBrush(Palette::brandDark);
        p.drawRoundedRect(QRectF(420, 80, 80, 60), 10, 10);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(440, 90, 40, 40));
    });
    writer.png(QStringLiteral("setting/settingLogo.png"), 80, 80, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::brand);
        p.drawRoundedRect(QRectF(4, 4, 72, 72), 16, 16);
        p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath book;
        book.moveTo(18, 24);
        book.lineTo(40, 30);
        book.lineTo(62, 24);
        book.lineTo(62, 56);
        book.lineTo(40, 62);
        book.lineTo(18, 56);
        book.closeSubpath();
        p.drawPath(book);
        p.drawLine(QPointF(40, 30), QPointF(40, 62));
    });
    drawPlayButton(writer, QStringLiteral("setting/speakerOn.png"), false);
    drawPlayButton(writer, QStringLiteral("setting/SpeakerPause.png"), true);
    drawMark(writer, QStringLiteral("setting/icon_Good.png"), true);
    drawMark(writer, QStringLiteral("setting/icon_Fault.png"), false);
    drawBarButton(writer, QStringLiteral("class/icon_videoSwitchover.png"), true);
    drawBarButton(writer, QStringLiteral("class/icon_playoutSwitchover.png"), false);
}
