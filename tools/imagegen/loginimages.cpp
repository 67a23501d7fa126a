// The pictures under login/: the program icon and the pictures of the login
// window and of the network-line window.

#include "imagefolders.h"
#include "imagewriter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

void drawAppIcon(ImageWriter &writer)
{
    writer.png(QStringLiteral("login/logo.png"), 64, 64, [](QPainter &p) { drawMark(p, QRectF(2, 2, 60, 60)); });
}

// A globe: an outline, a meridian ellipse and the equator.
void drawGlobe(QPainter &p, const QRectF &outline, const QRectF &meridian)
{
    p.drawEllipse(outline);
    p.drawEllipse(meridian);
    p.drawLine(QPointF(outline.left(), outline.center().y()), QPointF(outline.right(), outline.center().y()));
}

// The login window's background: a pale warm wash with two soft circles in
// the corners, quiet enough for grey text on top.
void drawLoginBackground(ImageWriter &writer)
{
    writer.png(QStringLiteral("login/login_bg.png"), 400, 300, [](QPainter &p) {
        QLinearGradient wash(0, 0, 0, 300);
        wash.setColorAt(0, QColor(0xff, 0xf6, 0xf3));
        wash.setColorAt(0.45, QColor(0xff, 0xff, 0xff));
        wash.setColorAt(1, QColor(0xfa, 0xfa, 0xfa));
        p.fillRect(QRect(0, 0, 400, 300), wash);

        p.setPen(Qt::NoPen);
        QColor soft = Palette::brand;
        soft.setAlpha(26);
        p.setBrush(soft);
        p.drawEllipse(QPointF(20, 10), 90, 90);
        soft.setAlpha(18);
        p.setBrush(soft);
        p.drawEllipse(QPointF(395, 290), 110, 110);
    });
}

// The picture shown until the user's own arrives: a round grey head and
// shoulders.
void drawDefaultAvatar(ImageWriter &writer)
{
    writer.png(QStringLiteral("login/default_avatar.png"), 60, 60, [](QPainter &p) {
        QPainterPath clip;
        clip.addEllipse(QRectF(0.5, 0.5, 59, 59));
        p.setClipPath(clip);
        p.fillRect(QRect(0, 0, 60, 60), QColor(0xe9, 0xe9, 0xec));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xb9, 0xbb, 0xc4));
        p.drawEllipse(QPointF(30, 24), 10.5, 10.5);
        p.drawEllipse(QRectF(11, 38, 38, 34));
        p.setClipping(false);
        p.setPen(QPen(Palette::line, 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(0.5, 0.5, 59, 59));
    });
}

// Check box indicator: two 20 x 20 states (unchecked, checked).
void drawCheckBox(ImageWriter &writer)
{
    writer.sprite(QStringLiteral("login/check_box.png"), 20, 20, 2, [](QPainter &p, int state, qreal x) {
        const QRectF box(x + 3.5, 3.5, 13, 13);
        if (state == 0) {
            p.setPen(QPen(Palette::line, 1));
            p.setBrush(Qt::white);
            p.drawRoundedRect(box, 3, 3);
            return;
        }
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::brand);
        p.drawRoundedRect(box, 3, 3);
        p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(box.left() + 3, box.top() + 6.8);
        tick.lineTo(box.left() + 5.6, box.top() + 9.4);
        tick.lineTo(box.left() + 10.2, box.top() + 3.8);
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    });
}

// A title-bar icon: two 20 x 20 states (normal, hover); glyph draws the
// symbol with the pen already set, in the cell starting at x.
void drawTitleIcon(ImageWriter &writer, const QString &relativePath,
                   const std::function<void(QPainter &, qreal)> &glyph)
{
    writer.sprite(relativePath, 20, 20, 2, [&](QPainter &p, int state, qreal x) {
        p.setPen(QPen(state == 0 ? Palette::softGlyph : Palette::brand, 1.5, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        glyph(p, x);
    });
}

void drawTitleIcons(ImageWriter &writer)
{
    // Network settings: a globe.
    drawTitleIcon(writer, QStringLiteral("login/icon_netSetting.png"), [](QPainter &p, qreal x) {
        drawGlobe(p, QRectF(x + 3.5, 3.5, 13, 13), QRectF(x + 7, 3.5, 6, 13));
    });
    // Help: a question mark in a circle.
    drawTitleIcon(writer, QStringLiteral("login/helpImg.png"), [](QPainter &p, qreal x) {
        p.drawEllipse(QRectF(x + 3.5, 3.5, 13, 13));
        QPainterPath hook;
        hook.moveTo(x + 8, 8.2);
        hook.cubicTo(x + 8, 5.6, x + 12.4, 5.6, x + 12.2, 8.2);
        hook.cubicTo(x + 12.1, 9.8, x + 10, 10, x + 10, 11.8);
        p.drawPath(hook);
        p.drawPoint(QPointF(x + 10, 14));
    });
}

// Four rising bars in a 20 x 20 icon; the first "lit" bars take "color".
void drawSignalIcon(ImageWriter &writer, const QString &relativePath, int lit, const QColor &color, bool crossed)
{
    writer.png(relativePath, 20, 20, [&](QPainter &p) {
        p.setPen(Qt::NoPen);
        for (int bar = 0; bar < 4; ++bar) {
            const qreal height = 5 + bar * 4;
            const QRectF rect(2 + bar * 4.5, 18 - height, 3, height);
            p.setBrush(bar < lit ? color : Palette::signalIdle);
            p.drawRoundedRect(rect, 1, 1);
        }
        if (crossed) {
            p.setPen(QPen(Palette::brand, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(2, 3), QPointF(9, 10));
            p.drawLine(QPointF(9, 3), QPointF(2, 10));
        }
    });
}

void drawSignalIcons(ImageWriter &writer)
{
    drawSignalIcon(writer, QStringLiteral("login/signalStrong.png"), 4, Palette::signalStrong, false);
    drawSignalIcon(writer, QStringLiteral("login/signalWeak.png"), 2, Palette::signalWeak, false);
    drawSignalIcon(writer, QStringLiteral("login/signalBad.png"), 1, Palette::brand, false);
    drawSignalIcon(writer, QStringLiteral("login/noSignal.png"), 0, Palette::signalIdle, true);
}

// The network-line window's card: white with a soft brand-coloured band at
// the top and thin rules between its rows.
void drawNetLinkBackground(ImageWriter &writer)
{
    writer.png(QStringLiteral("login/netSettingBgd.png"), 400, 300, [](QPainter &p) {
        QPainterPath card;
        card.addRoundedRect(QRectF(0, 0, 400, 300), 8, 8);
        p.fillPath(card, Qt::white);
        p.setClipPath(card);
        QLinearGradient band(0, 0, 0, 56);
        band.setColorAt(0, Palette::brand.lighter(135));
        band.setColorAt(1, Palette::brand.lighter(165));
        p.fillRect(QRectF(0, 0, 400, 56), band);
        // A small globe-like mark in the band.
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(Qt::NoBrush);
        drawGlobe(p, QRectF(23, 15, 26, 26), QRectF(30, 15, 12, 26));
        p.setPen(QPen(QColor(0xe6, 0xe6, 0xe6), 1));
        p.drawLine(QPointF(30, 96), QPointF(370, 96));
        p.drawLine(QPointF(30, 232), QPointF(370, 232));
    });
}

} // namespace

void drawLoginImages(ImageWriter &writer)
{
    drawAppIcon(writer);
    drawLoginBackground(writer);
    drawDefaultAvatar(writer);
    drawCheckBox(writer);
    drawTitleIcons(writer);
    drawSignalIcons(writer);
    drawNetLinkBackground(writer);
}
