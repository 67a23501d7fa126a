// The pictures of the chat: the panel's buttons (the screenshot button's
// picture is the problem report's, drawn with the award pictures), the bubbles' default
// picture, send states and loading frames, the enlarged view's close button
// and the screenshot tool's cursor and buttons.

#include "imagefolders.h"
#include "imagewriter.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

// Square chat buttons: three states (normal, hover, pressed) side by side.
void drawChatButton(ImageWriter &writer, const QString &name, int size,
                    const std::function<void(QPainter &, const QRectF &, const QColor &)> &glyph)
{
    writer.sprite(QStringLiteral("class/") + name, size, size, 3, [&](QPainter &p, int state, qreal x) {
        const QRectF cell(x + 1, 1, size - 2, size - 2);
        if (state > 0) {
            p.setPen(Qt::NoPen);
            p.setBrush(state == 1 ? Palette::hoverBack : Palette::pressBack);
            p.drawRoundedRect(cell, 5, 5);
        }
        glyph(p, cell, state == 0 ? Palette::glyph : Palette::ink);
    });
}

void drawPanelButtons(ImageWriter &writer)
{
    drawChatButton(writer, QStringLiteral("icon_pic.png"), 34, [](QPainter &p, const QRectF &c, const QColor &ink) {
        const QRectF frame = c.adjusted(7, 9, -7, -9);
        p.setPen(QPen(ink, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(frame, 2, 2);
        p.setBrush(ink);
        p.drawEllipse(QPointF(frame.left() + 5, frame.top() + 4.5), 1.8, 1.8);
        p.drawPolygon(QPolygonF({ QPointF(frame.left() + 2, frame.bottom() - 2), QPointF(frame.left() + 8, frame.top() + 8),
                                  QPointF(frame.left() + 12, frame.bottom() - 5), QPointF(frame.right() - 5, frame.top() + 6),
                                  QPointF(frame.right() - 2, frame.bottom() - 2) }));
    });
    writer.png(QStringLiteral("class/triangle.png"), 25, 30, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({ QPointF(8, 13), QPointF(17, 13), QPointF(12.5, 18) }));
    });
    writer.png(QStringLiteral("class/theHook.png"), 30, 30, [](QPainter &p) {
        p.setPen(QPen(Palette::brand, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({ QPointF(8, 15), QPointF(13, 20), QPointF(22, 10) }));
    });
}

void drawBubblePictures(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/defaultImage.png"), 80, 88, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::pale);
        p.drawRoundedRect(QRectF(0, 0, 80, 88), 6, 6);
        p.setPen(QPen(Palette::line, 2));
        p.setBrush(Qt::NoBrush);
        const QRectF frame(20, 26, 40, 34);
        p.drawRoundedRect(frame, 3, 3);
        p.setBrush(Palette::line);
        p.drawEllipse(QPointF(30, 35), 3.5, 3.5);
        p.drawPolygon(QPolygonF({ QPointF(23, 57), QPointF(35, 43), QPointF(43, 52), QPointF(50, 45), QPointF(57, 57) }));
    });
    writer.png(QStringLiteral("class/icon_fail.png"), 20, 20, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xe8, 0x3b, 0x3b));
        p.drawEllipse(QRectF(1, 1, 18, 18));
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 5), QPointF(10, 11.5));
        p.drawPoint(QPointF(10, 15));
    });
    // Twelve frames of a spinner: the bright spoke moves one step a frame.
    for (int frame = 1; frame <= 12; ++frame) {
        writer.png(QStringLiteral("loading/loading_%1.png").arg(frame), 20, 20, [frame](QPainter &p) {
            for (int spoke = 0; spoke < 12; ++spoke) {
                const int age = (frame - 1 - spoke + 12) % 12;
                QColor ink = Palette::glyph;
                ink.setAlphaF(1.0 - age / 13.0);
                p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
                const qreal angle = spoke * M_PI / 6;
                const QPointF c(10, 10);
                const QPointF dir(qSin(angle), -qCos(angle));
                p.drawLine(c + dir * 4.5, c + dir * 8);
            }
        });
    }
    writer.png(QStringLiteral("class/btnImgClose.png"), 26, 26, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawEllipse(QRectF(1, 1, 24, 24));
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 9), QPointF(17, 17));
        p.drawLine(QPointF(17, 9), QPointF(9, 17));
    });
}

void drawScreenshotPictures(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/cutCursor.png"), 32, 32, [](QPainter &p) {
        for (const QColor &ink : { QColor(Qt::white), QColor(Qt::black) }) {
            p.setPen(QPen(ink, ink == Qt::white ? 3.5 : 1.5));
            p.drawLine(QPointF(16, 2), QPointF(16, 30));
            p.drawLine(QPointF(2, 16), QPointF(30, 16));
        }
    });
    // Tool-bar buttons: 25 x 20, the hover state 25 px further down.
    const auto button = [&writer](const QString &name, const std::function<void(QPainter &, qreal)> &glyph) {
        writer.png(QStringLiteral("class/") + name, 25, 40, [&](QPainter &p) {
            for (int state = 0; state < 2; ++state) {
                if (state == 1) {
                    p.setPen(Qt::NoPen);
                    p.setBrush(Palette::hoverBack);
                    p.drawRoundedRect(QRectF(1, 21, 23, 18), 3, 3);
                }
                p.setPen(QPen(state == 0 ? Palette::glyph : Palette::brand, 1.6, Qt::SolidLine, Qt::RoundCap,
                              Qt::RoundJoin));
                p.setBrush(Qt::NoBrush);
                glyph(p, state * 20);
            }
        });
    };
    button(QStringLiteral("icon_save.png"), [](QPainter &p, qreal y) {
        p.drawRect(QRectF(7, y + 4, 11, 12));
        p.drawLine(QPointF(10, y + 4), QPointF(10, y + 8));
        p.drawLine(QPointF(15, y + 4), QPointF(15, y + 8));
    });
    button(QStringLiteral("icon_close.png"), [](QPainter &p, qreal y) {
        p.drawLine(QPointF(8, y + 5), QPointF(17, y + 14));
        p.drawLine(QPointF(17, y + 5), QPointF(8, y + 14));
    });
    button(QStringLiteral("icon_send.png"), [](QPainter &p, qreal y) {
        p.drawPolyline(QPolygonF({ QPointF(7, y + 10), QPointF(11, y + 14), QPointF(18, y + 5) }));
    });
}

} // namespace

void drawChatImages(ImageWriter &writer)
{
    drawPanelButtons(writer);
    drawBubblePictures(writer);
    drawScreenshotPictures(writer);
}
