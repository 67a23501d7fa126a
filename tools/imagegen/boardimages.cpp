// The whiteboard's pictures under class/: the board's page and zoom
// buttons, the refresh button, the pen cursor, and the two tool bars'
// button strips.
//
// Tool bar strips are 46 x 42 cells side by side: normal, hover, pressed,
// then (for buttons that stay pressed) checked, checked + hover and
// checked + pressed. A button shows one cell through the left slice of its
// border image.

#include "imagefolders.h"
#include "imagewriter.h"

#include "utility/globalconstants.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

const int kToolWidth = 46;
const int kToolHeight = 42;
const QColor kToolGlyph(0xee, 0xee, 0xee);
const QColor kToolDisabled(0x88, 0x88, 0x88);

using Glyph = std::function<void(QPainter &, const QPointF &centre, const QColor &ink)>;

// Pen: a slanted pencil.
void penGlyph(QPainter &p, const QPointF &c, const QColor &ink)
{
    p.save();
    p.translate(c);
    p.rotate(-45);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(-8, -3.5, 13, 7));
    QPainterPath tip;
    tip.moveTo(5, -3.5);
    tip.lineTo(11, 0);
    tip.lineTo(5, 3.5);
    p.drawPath(tip);
    p.drawLine(QPointF(-5, -3.5), QPointF(-5, 3.5));
    p.restore();
}

void textGlyph(QPainter &p, const QPointF &c, const QColor &ink)
{
    p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-8, -8), c + QPointF(8, -8));
    p.drawLine(c + QPointF(0, -8), c + QPointF(0, 9));
}

void eraserGlyph(QPainter &p, const QPointF &c, const QColor &ink)
{
    p.save();
    p.translate(c);
    p.rotate(-40);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(-10, -5, 20, 10), 2, 2);
    p.drawLine(QPointF(-2, -5), QPointF(-2, 5));
    p.restore();
    p.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-6, 10), c + QPointF(9, 10));
}

void chatGlyph(QPainter &p, const QPointF &c, const QColor &ink)
{
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(c.x() - 10, c.y() - 8, 20, 14), 4, 4);
    p.drawPath(bubble);
    p.drawLine(c + QPointF(-5, 6), c + QPointF(-7, 10));
    p.drawLine(c + QPointF(-7, 10), c + QPointF(-1, 6));
    p.setBrush(ink);
    for (int i = -1; i <= 1; ++i)
        p.drawEllipse(c + QPointF(i * 5, -1), 1.2, 1.2);
}

void planGlyph(QPainter &p, const QPointF &c, const QColor &ink)
{
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(c.x() - 8, c.y() - 10, 16, 20));
    for (int i = 0; i < 3; ++i)
        p.drawLine(c + QPointF(-4, -4 + i * 5), c + QPointF(4, -4 + i * 5));
}

void videoGlyph(QPainter &p, const QPointF &c, const QColor &ink)
{
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(c.x() - 11, c.y() - 7, 15, 14), 2, 2);
    QPainterPath lens;
    lens.moveTo(c + QPointF(5, -2));
    lens.lineTo(c + QPointF(11, -6));
    lens.lineTo(c + QPointF(11, 6));
    lens.lineTo(c + QPointF(5, 2));
    p.drawPath(lens);
}

void audioGlyph(QPainter &p, const QPointF &c, const QColor &ink)
{
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
    p.drawEllipse(c + QPointF(-5, 6), 3.5, 3);
    p.setBrush(Qt::NoBrush);
    p.drawLine(c + QPointF(-1.5, 6), c + QPointF(-1.5, -9));
    p.drawLine(c + QPointF(-1.5, -9), c + QPointF(7, -6));
}

void desktopGlyph(QPainter &p, const QPointF &c, const QColor &ink)
{
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(c.x() - 11, c.y() - 9, 22, 14), 2, 2);
    p.drawLine(c + QPointF(-5, 10), c + QPointF(5, 10));
    p.drawLine(c + QPointF(0, 5), c + QPointF(0, 10));
}

// One tool button strip: three plain states, six when the button can stay
// checked (its checked cells have a lighter ground and a brand underline).
void drawToolStrip(ImageWriter &writer, const QString &image, int states, const Glyph &glyph,
                   const QColor &badge = QColor())
{
    writer.sprite(QStringLiteral("class/") + image, kToolWidth, kToolHeight, states,
                  [&](QPainter &p, int state, qreal x) {
                      const bool checked = state >= 3;
                      const int look = state % 3; // normal, hover, pressed
                      const QRectF cell(x, 0, kToolWidth, kToolHeight);
                      if (look == 1)
                          p.fillRect(cell, QColor(255, 255, 255, 40));
                      else if (look == 2)
                          p.fillRect(cell, QColor(0, 0, 0, 60));
                      if (checked) {
                          p.fillRect(cell, QColor(255, 255, 255, 55));
                          p.fillRect(QRectF(x + 8, kToolHeight - 4, kToolWidth - 16, 3), Palette::brand);
                      }
                      glyph(p, cell.center(), checked ? QColor(Qt::white) : kToolGlyph);
                      if (badge.isValid()) {
                          p.setPen(Qt::NoPen);
                          p.setBrush(badge);
                          p.drawEllipse(QPointF(x + kToolWidth - 12, 10), 4, 4);
                      }
                  });
}

void drawDisabledTool(ImageWriter &writer, const QString &image, const Glyph &glyph)
{
    writer.png(QStringLiteral("class/") + image, kToolWidth, kToolHeight,
               [&](QPainter &p) { glyph(p, QPointF(kToolWidth / 2.0, kToolHeight / 2.0), kToolDisabled); });
}

// The colour button: the pen colour as a swatch with a light ring.
void drawColorButton(ImageWriter &writer, const QString &image, const QColor &color)
{
    writer.png(QStringLiteral("class/") + image, kToolWidth, kToolHeight, [&](QPainter &p) {
        const QPointF centre(kToolWidth / 2.0, kToolHeight / 2.0);
        p.setPen(QPen(QColor(255, 255, 255, 200), 2));
        p.setBrush(color);
        p.drawEllipse(centre, 10, 10);
    });
}

// A round board button of size x size, two states (normal, hover).
void drawBoardButton(ImageWriter &writer, const QString &image, int size,
                     const std::function<void(QPainter &, const QPointF &, qreal)> &glyph)
{
    writer.sprite(QStringLiteral("class/") + image, size, size, 2, [&](QPainter &p, int state, qreal x) {
        const QRectF cell(x + 0.5, 0.5, size - 1, size - 1);
        p.setPen(Qt::NoPen);
        p.setBrush(state == 1 ? Palette::brand : QColor(0x5a, 0x58, 0x58));
        p.drawEllipse(cell);
        p.setPen(QPen(Qt::white, size / 13.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        glyph(p, cell.center(), size / 26.0);
    });
}

void drawBoardButtons(ImageWriter &writer)
{
    drawBoardButton(writer, QStringLiteral("zoomIn.png"), 26, [](QPainter &p, const QPointF &c, qreal k) {
        p.drawLine(c + QPointF(-6 * k, 0), c + QPointF(6 * k, 0));
        p.drawLine(c + QPointF(0, -6 * k), c + QPointF(0, 6 * k));
    });
    drawBoardButton(writer, QStringLiteral("zoomOut.png"), 26, [](QPainter &p, const QPointF &c, qreal k) {
        p.drawLine(c + QPointF(-6 * k, 0), c + QPointF(6 * k, 0));
    });
    drawBoardButton(writer, QStringLiteral("zoomReset.png"), 26, [](QPainter &p, const QPointF &c, qreal k) {
        p.drawRect(QRectF(c.x() - 6 * k, c.y() - 6 * k, 12 * k, 12 * k));
    });
    drawBoardButton(writer, QStringLiteral("prev.png"), 26, [](QPainter &p, const QPointF &c, qreal k) {
        p.drawPolyline(QPolygonF({ c + QPointF(3 * k, -6 * k), c + QPointF(-3 * k, 0), c + QPointF(3 * k, 6 * k) }));
    });
    drawBoardButton(writer, QStringLiteral("Next.png"), 26, [](QPainter &p, const QPointF &c, qreal k) {
        p.drawPolyline(QPolygonF({ c + QPointF(-3 * k, -6 * k), c + QPointF(3 * k, 0), c + QPointF(-3 * k, 6 * k) }));
    });
    drawBoardButton(writer, QStringLiteral("updateClass.png"), 36, [](QPainter &p, const QPointF &c, qreal k) {
        p.drawArc(QRectF(c.x() - 7 * k, c.y() - 7 * k, 14 * k, 14 * k), 30 * 16, 290 * 16);
        const QPointF end = c + QPointF(7 * k * qCos(qDegreesToRadians(30.0)), -7 * k * qSin(qDegreesToRadians(30.0)));
        p.drawLine(end, end + QPointF(-4 * k, -1 * k));
        p.drawLine(end, end + QPointF(1 * k, -4 * k));
    });
}

// The pen cursor, its tip at the bottom-left corner.
void drawPenCursor(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/cursorPen.png"), 24, 24, [](QPainter &p) {
        p.setPen(QPen(Palette::ink, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(Qt::white));
        QPainterPath body;
        body.moveTo(1, 23);
        body.lineTo(3, 16);
        body.lineTo(18, 1);
        body.lineTo(23, 6);
        body.lineTo(8, 21);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(Palette::ink);
        QPainterPath tip;
        tip.moveTo(1, 23);
        tip.lineTo(2.2, 19);
        tip.lineTo(5, 21.8);
        tip.closeSubpath();
        p.drawPath(tip);
    });
}

} // namespace

void drawBoardImages(ImageWriter &writer)
{
    drawBoardButtons(writer);
    drawPenCursor(writer);

    // Student bar.
    drawToolStrip(writer, QStringLiteral("icon_pen.png"), 6, penGlyph);
    drawDisabledTool(writer, QStringLiteral("icon_pen_disabled.png"), penGlyph);
    drawToolStrip(writer, QStringLiteral("eraser.png"), 3, eraserGlyph);
    drawToolStrip(writer, QStringLiteral("icon_chat_default.png"), 3, chatGlyph);
    drawToolStrip(writer, QStringLiteral("icon_chat_selected.png"), 3, [](QPainter &p, const QPointF &c, const QColor &) {
        chatGlyph(p, c, Palette::brand);
    });
    drawToolStrip(writer, QStringLiteral("icon_chat_new_msg.png"), 3, chatGlyph, Palette::brand);

    // Teacher bar.
    drawToolStrip(writer, QStringLiteral("icon_pen_t.png"), 6, penGlyph);
    drawToolStrip(writer, QStringLiteral("icon_text_t.png"), 6, textGlyph);
    drawToolStrip(writer, QStringLiteral("eraser_t.png"), 3, eraserGlyph);
    drawToolStrip(writer, QStringLiteral("icon_teaching_plan.png"), 3, planGlyph);
    drawDisabledTool(writer, QStringLiteral("icon_plan_disabled.png"), planGlyph);
    drawToolStrip(writer, QStringLiteral("icon_teaching_video.png"), 3, videoGlyph);
    drawDisabledTool(writer, QStringLiteral("icon_video_disabled.png"), videoGlyph);
    drawToolStrip(writer, QStringLiteral("icon_teaching_audio.png"), 3, audioGlyph);
    drawDisabledTool(writer, QStringLiteral("icon_audio_disabled.png"), audioGlyph);
    drawToolStrip(writer, QStringLiteral("icon_teaching_desktop.png"), 6, desktopGlyph);
    drawDisabledTool(writer, QStringLiteral("icon_screen_sharing_disabled.png"), desktopGlyph);

    for (int i = 0; i < g_penColors.size(); ++i) {
        drawColorButton(writer, g_penButtonImages.at(i), g_penColors.at(i));
        drawColorButton(writer, g_penSecondButtonImages.at(i), g_penColors.at(i));
    }
}
