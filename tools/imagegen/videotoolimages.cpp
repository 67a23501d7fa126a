// The video tiles' pictures under class/: the tool bar strips of the tiles
// and of the big video, and the praise mark of the tile's counter.
//
// These strips are vertical: cells of one size stacked top to bottom,
// normal, hover, pressed, then (for buttons that stay pressed) checked,
// checked + hover and checked + pressed. A button shows one cell through
// the top and bottom slices of its border image.

#include "imagefolders.h"
#include "imagewriter.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

using Glyph = std::function<void(QPainter &, const QPointF &centre, qreal scale, const QColor &ink)>;

const QColor kRound(47, 50, 68, 200);
const QColor kRoundHover(47, 50, 68, 235);
const QColor kRoundPressed(30, 32, 44, 255);
const QColor kOff(0xf0, 0x64, 0x50, 235);
const QColor kGlyph(0xf5, 0xf5, 0xf5);

// Draws states cells of size x size one under the other; the checked
// states (3 and up) show the glyph struck through on the brand colour.
void drawRoundStrip(ImageWriter &writer, const QString &image, int size, int states, const Glyph &glyph,
                    bool strikeWhenChecked)
{
    writer.png(QStringLiteral("class/") + image, size, size * states, [&](QPainter &p) {
        for (int state = 0; state < states; ++state) {
            const qreal y = state * size;
            const bool checked = state >= 3;
            QColor back = checked ? kOff : kRound;
            if (state % 3 == 1)
                back = back.lighter(115);
            else if (state % 3 == 2)
                back = checked ? kOff.darker(120) : kRoundPressed;
            p.setPen(Qt::NoPen);
            p.setBrush(back);
            p.drawEllipse(QRectF(1, y + 1, size - 2, size - 2));
            const QPointF centre(size / 2.0, y + size / 2.0);
            const qreal scale = size / 34.0;
            glyph(p, centre, scale, kGlyph);
            if (checked && strikeWhenChecked) {
                p.setPen(QPen(kGlyph, 2 * scale, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(centre + QPointF(-9, -9) * scale, centre + QPointF(9, 9) * scale);
            }
        }
    });
}

void microphoneGlyph(QPainter &p, const QPointF &c, qreal s, const QColor &ink)
{
    p.setPen(QPen(ink, 1.6 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(c.x() - 3.5 * s, c.y() - 9 * s, 7 * s, 12 * s), 3.5 * s, 3.5 * s);
    QPainterPath cup;
    cup.moveTo(c + QPointF(-6.5, -1) * s);
    cup.cubicTo(c + QPointF(-6.5, 7) * s, c + QPointF(6.5, 7) * s, c + QPointF(6.5, -1) * s);
    p.drawPath(cup);
    p.drawLine(c + QPointF(0, 6) * s, c + QPointF(0, 9) * s);
    p.drawLine(c + QPointF(-4, 9) * s, c + QPointF(4, 9) * s);
}

void cameraGlyph(QPainter &p, const QPointF &c, qreal s, const QColor &ink)
{
    p.setPen(QPen(ink, 1.6 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(c.x() - 9 * s, c.y() - 5.5 * s, 12 * s, 11 * s), 2 * s, 2 * s);
    QPainterPath lens;
    lens.moveTo(c + QPointF(3, -2) * s);
    lens.lineTo(c + QPointF(9, -5) * s);
    lens.lineTo(c + QPointF(9, 5) * s);
    lens.lineTo(c + QPointF(3, 2) * s);
    p.drawPath(lens);
}

void penGlyph(QPainter &p, const QPointF &c, qreal s, const QColor &ink)
{
    p.save();
    p.translate(c);
    p.scale(s, s);
    p.rotate(-45);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(-8, -3, 12, 6));
    QPainterPath tip;
    tip.moveTo(4, -3);
    tip.lineTo(9, 0);
    tip.lineTo(4, 3);
    p.drawPath(tip);
    p.restore();
}

// Four corners pointing outwards: enlarge.
void enlargeGlyph(QPainter &p, const QPointF &c, qreal s, const QColor &ink)
{
    p.setPen(QPen(ink, 1.8 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const qreal a = 8 * s;
    const qreal b = 3.5 * s;
    for (int sx : { -1, 1 }) {
        for (int sy : { -1, 1 }) {
            const QPointF corner = c + QPointF(sx * a, sy * a);
            p.drawLine(corner, corner - QPointF(sx * b, 0));
            p.drawLine(corner, corner - QPointF(0, sy * b));
        }
    }
}

// Four corners pointing inwards: back to the small view.
void shrinkGlyph(QPainter &p, const QPointF &c, qreal s, const QColor &ink)
{
    p.setPen(QPen(ink, 1.8 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const qreal a = 3 * s;
    const qreal b = 4.5 * s;
    for (int sx : { -1, 1 }) {
        for (int sy : { -1, 1 }) {
            const QPointF corner = c + QPointF(sx * a, sy * a);
            p.drawLine(corner, corner + QPointF(sx * b, 0));
            p.drawLine(corner, corner + QPointF(0, sy * b));
        }
    }
}

void thumbGlyph(QPainter &p, const QPointF &c, qreal s, const QColor &ink)
{
    p.setPen(QPen(ink, 1.5 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
    p.drawRect(QRectF(c.x() - 8 * s, c.y() - 1 * s, 3.5 * s, 9 * s));
    QPainterPath hand;
    hand.moveTo(c + QPointF(-3, -1) * s);
    hand.lineTo(c + QPointF(0, -8) * s);
    hand.cubicTo(c + QPointF(2.5, -9) * s, c + QPointF(3, -6) * s, c + QPointF(2, -3) * s);
    hand.lineTo(c + QPointF(7, -3) * s);
    hand.cubicTo(c + QPointF(9, -3) * s, c + QPointF(9, 0) * s, c + QPointF(8, 1) * s);
    hand.lineTo(c + QPointF(6, 8) * s);
    hand.lineTo(c + QPointF(-3, 8) * s);
    hand.closeSubpath();
    p.setBrush(Qt::NoBrush);
    p.drawPath(hand);
}

// The like button: two cells, the lit one first (hover) and the plain one
// second (normal).
void drawLikeButton(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/icon_like.png"), 34, 68, [](QPainter &p) {
        for (int state = 0; state < 2; ++state) {
            const qreal y = state * 34;
            p.setPen(Qt::NoPen);
            p.setBrush(state == 0 ? kOff : kRound);
            p.drawEllipse(QRectF(1, y + 1, 32, 32));
            thumbGlyph(p, QPointF(17, y + 17), 1.0, kGlyph);
        }
    });
}

void drawPraiseMark(ImageWriter &writer)
{
    writer.png(QStringLiteral("class/praise.png"), 20, 20, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::brand);
        p.drawEllipse(QRectF(0.5, 0.5, 19, 19));
        thumbGlyph(p, QPointF(10.5, 10), 0.62, QColor(Qt::white));
    });
}

} // namespace

void drawVideoToolImages(ImageWriter &writer)
{
    drawRoundStrip(writer, QStringLiteral("icon_audio.png"), 34, 6, microphoneGlyph, true);
    drawRoundStrip(writer, QStringLiteral("icon_video.png"), 34, 6, cameraGlyph, true);
    drawRoundStrip(writer, QStringLiteral("icon_DrawEnable.png"), 34, 6, penGlyph, true);
    drawRoundStrip(writer, QStringLiteral("icon_select.png"), 34, 3, enlargeGlyph, false);
    drawRoundStrip(writer, QStringLiteral("icon_selected.png"), 34, 3, shrinkGlyph, false);
    drawLikeButton(writer);
    drawPraiseMark(writer);
    drawRoundStrip(writer, QStringLiteral("icon_audio_big.png"), 44, 6, microphoneGlyph, true);
    drawRoundStrip(writer, QStringLiteral("icon_video_big.png"), 44, 6, cameraGlyph, true);
    drawRoundStrip(writer, QStringLiteral("icon_zoomOut_big.png"), 44, 3, shrinkGlyph, false);
}
